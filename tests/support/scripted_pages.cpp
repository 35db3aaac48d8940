#include "support/scripted_pages.h"

#include <gtest/gtest.h>

#include "rules/wizard_layout.h"

namespace testing_support {

const char* pageKindName(PageKind kind) {
    switch (kind) {
        case PageKind::ChoiceRadio: return "ChoiceRadio";
        case PageKind::ChoiceCheck: return "ChoiceCheck";
        case PageKind::Accept: return "Accept";
        case PageKind::Text: return "Text";
        case PageKind::CheckList: return "CheckList";
        case PageKind::CheckListView: return "CheckListView";
        case PageKind::Radio: return "Radio";
        case PageKind::RadioListView: return "RadioListView";
    }
    return "?";
}

namespace {

// A run that loops shows pages without end; past this many every page cancels.
constexpr std::size_t PAGE_LIMIT = 200;

template <class Interface>
class ScriptedPage : public Interface {
public:
    ScriptedPage(ScriptedPages& owner, PageKind kind, Menu* menu) : owner_(owner) {
        rec_.kind = kind;
        rec_.menu = menu;
        if (menu) rec_.menuIndex = menu->index;
    }
    void setCaption(const std::string& t) override { rec_.caption = t; }
    void setTopText(const std::string& t) override { rec_.topText = t; }
    void setBottomText(const std::string& t) override { rec_.bottomText = t; }
    void setSideText(const std::string& t) override { rec_.sideText = t; }
    void setButtons(int flags) override { rec_.buttons = flags; }
    void setConfirmCancel(bool confirm) override { rec_.confirmCancel = confirm; }
    int runPage() override {
        UserStep step = owner_.take(rec_.kind);
        open();
        if (rec_.menu)
            rec_.marksAtOpen.assign(rec_.menu->optionSelected,
                                    rec_.menu->optionSelected + rec_.menu->optionCount);
        act(step);
        rec_.result = step.result;
        if (step.during) step.during(rec_);
        owner_.shown.push_back(rec_);
        return step.result;
    }

    // Windowless: no picture.
    bool paintPicture(PagePicture&) override { return false; }

protected:
    virtual void open() {}
    virtual void act(const UserStep&) {}
    PageRecord rec_;
    ScriptedPages& owner_;
};

class ChoiceRadio : public ScriptedPage<ChoiceRunPage> {
public:
    using ScriptedPage::ScriptedPage;
    void addChoice(const std::string& t) override { rec_.choices.push_back(t); }
    void selectChoice(int i) override {
        if (i >= 0 && i < static_cast<int>(rec_.choices.size())) selected_ = i;
    }
    int selectedChoice() override { return selected_; }

private:
    void open() override { rec_.preselected = selected_; }
    void act(const UserStep& s) override {
        if (s.choose >= 0) selected_ = s.choose;
    }
    int selected_ = 0;
};

class ChoiceCheck : public ScriptedPage<CheckChoiceRunPage> {
public:
    using ScriptedPage::ScriptedPage;
    void addChoice(const std::string& t) override {
        rec_.choices.push_back(t);
        states_.push_back(0);
    }
    void setChoiceChecked(int i, int v) override {
        if (i >= 0 && i < static_cast<int>(states_.size())) states_[i] = v;
    }
    int isChoiceChecked(int i) override {
        return i >= 0 && i < static_cast<int>(states_.size()) ? states_[i] : 0;
    }
    void setAllowEmpty(bool allow) override { rec_.allowEmpty = allow; }

private:
    void open() override { rec_.checked = states_; }
    void act(const UserStep& s) override {
        for (int i : s.toggle) setChoiceChecked(i, isChoiceChecked(i) ? 0 : 1);
    }
    std::vector<int> states_;
};

class Accept : public ScriptedPage<AcceptRunPage> {
public:
    using ScriptedPage::ScriptedPage;
    void setAcceptText(const std::string& t) override { rec_.acceptText = t; }
    void setAcceptLabel(const std::string& t) override { rec_.acceptLabel = t; }
    bool hasAcceptText() override { return !rec_.acceptText.empty(); }
};

class Text : public ScriptedPage<TextRunPage> {
public:
    using ScriptedPage::ScriptedPage;
    void setText(const std::string& t) override { rec_.text = t; }
};

// Writes the user's clicks into the Menu's marks by the rules the check-list pages use.
class CheckList : public ScriptedPage<CheckListRunPage> {
public:
    using ScriptedPage::ScriptedPage;

private:
    void open() override {
        Menu& m = *rec_.menu;
        // The list opens with a row selected: the first when nothing is marked.
        if (rec_.kind == PageKind::CheckListView && m.optionCount > 0 &&
            !anyMarked(m.optionSelected, m.optionCount))
            m.optionSelected[0] = 1;
    }
    void act(const UserStep& s) override {
        Menu& m = *rec_.menu;
        for (int i : s.toggle) {
            const bool marked = m.optionSelected[i] == 1;
            if (rec_.kind == PageKind::CheckListView)  // a Ctrl+click on the row
                applyCheckItemChange(m.optionSelected, m.optionCount, i, marked ? ITEM_SELECTED : 0,
                                     marked ? 0 : ITEM_SELECTED);
            else
                m.optionSelected[i] = marked ? 0 : 1;
        }
    }
};

// Keeps the Menu's marks in step with the choice by the rules the radio pages use: the
// choice made when the page is made, chosen rows moved by moveRadioChoice.
class Radio : public ScriptedPage<ChoiceRunPage> {
public:
    Radio(ScriptedPages& owner, PageKind kind, Menu* menu)
        : ScriptedPage(owner, kind, menu),
          selected_(initialRadioChoice(menu->optionSelected, menu->optionCount)) {}
    void addChoice(const std::string&) override { ++choices_; }
    void selectChoice(int i) override {
        if (i >= 0 && i < choices_) selected_ = i;
    }
    int selectedChoice() override { return selected_; }

private:
    void open() override {
        Menu& m = *rec_.menu;
        if (selected_ >= 0 && selected_ < m.optionCount) m.optionSelected[selected_] = 1;
        rec_.preselected = selected_;
    }
    void act(const UserStep& s) override {
        if (s.choose >= 0)
            moveRadioChoice(rec_.menu->optionSelected, rec_.menu->optionCount, selected_, s.choose);
    }
    int choices_ = 0;
    int selected_;
};

template <class Page, class Interface>
std::unique_ptr<Interface> make(ScriptedPages& owner, PageKind kind, Menu* menu) {
    if (owner.unavailable.count(kind)) return nullptr;
    return std::make_unique<Page>(owner, kind, menu);
}

}  // namespace

UserStep ScriptedPages::take(PageKind kind) {
    if (shown.size() >= PAGE_LIMIT) return UserStep{kind, WIZ_CANCEL};
    if (next >= steps.size()) {
        ADD_FAILURE() << "no user step left for a " << pageKindName(kind)
                      << " page; pages so far: " << trail();
        return UserStep{kind, WIZ_CANCEL};
    }
    UserStep step = steps[next++];
    if (step.kind != kind) {
        ADD_FAILURE() << "expected a " << pageKindName(step.kind) << " page, the run showed a "
                      << pageKindName(kind) << "; pages so far: " << trail();
        return UserStep{kind, WIZ_CANCEL};
    }
    return step;
}

std::string ScriptedPages::trail() const {
    std::string out;
    for (const PageRecord& r : shown) {
        if (!out.empty()) out += ' ';
        out += pageKindName(r.kind);
        if (r.menuIndex >= 0) out += ":" + std::to_string(r.menuIndex);
    }
    return out;
}

std::unique_ptr<ChoiceRunPage> ScriptedPages::choiceRadioPage() {
    return make<ChoiceRadio, ChoiceRunPage>(*this, PageKind::ChoiceRadio, nullptr);
}
std::unique_ptr<CheckChoiceRunPage> ScriptedPages::choiceCheckPage() {
    return make<ChoiceCheck, CheckChoiceRunPage>(*this, PageKind::ChoiceCheck, nullptr);
}
std::unique_ptr<AcceptRunPage> ScriptedPages::acceptPage() {
    return make<Accept, AcceptRunPage>(*this, PageKind::Accept, nullptr);
}
std::unique_ptr<TextRunPage> ScriptedPages::textPage() {
    return make<Text, TextRunPage>(*this, PageKind::Text, nullptr);
}
std::unique_ptr<CheckListRunPage> ScriptedPages::checkListPage(Menu& menu) {
    return make<CheckList, CheckListRunPage>(*this, PageKind::CheckList, &menu);
}
std::unique_ptr<CheckListRunPage> ScriptedPages::checkListViewPage(Menu& menu) {
    return make<CheckList, CheckListRunPage>(*this, PageKind::CheckListView, &menu);
}
std::unique_ptr<ChoiceRunPage> ScriptedPages::radioPage(Menu& menu) {
    return make<Radio, ChoiceRunPage>(*this, PageKind::Radio, &menu);
}
std::unique_ptr<ChoiceRunPage> ScriptedPages::radioListViewPage(Menu& menu) {
    return make<Radio, ChoiceRunPage>(*this, PageKind::RadioListView, &menu);
}

}  // namespace testing_support
