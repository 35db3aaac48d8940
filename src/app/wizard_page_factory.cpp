#include "app/wizard_page_factory.h"

#include <new>

#include "wizard/accept_page.h"
#include "wizard/check_list_view_page.h"
#include "wizard/check_page.h"
#include "wizard/radio_list_view_page.h"
#include "wizard/radio_page.h"
#include "wizard/text_page.h"

namespace {

// A page object of the wizard seen through one of the run's interfaces.
template <class Page, class Interface>
class Adapter : public Interface {
public:
    template <class... Args>
    explicit Adapter(Args&&... args) : page(std::forward<Args>(args)...) {}
    void setCaption(const std::string& t) override { page.setCaption(t); }
    void setTopText(const std::string& t) override { page.setTopText(t); }
    void setBottomText(const std::string& t) override { page.setBottomText(t); }
    void setSideText(const std::string& t) override { page.setSideText(t); }
    void setButtons(int flags) override { page.setButtons(flags); }
    void setConfirmCancel(bool confirm) override { page.confirmCancel = confirm; }
    int runPage() override { return page.runPage(); }
    bool paintPicture(PagePicture& picture) override { return page.paintPicture(picture); }

    Page page;
};

class Radio : public Adapter<RadioPage, ChoiceRunPage> {
public:
    using Adapter::Adapter;
    void addChoice(const std::string& t) override { page.addChoice(t); }
    void selectChoice(int i) override { page.selectChoice(i); }
    int selectedChoice() override { return page.selectedChoice(); }
};

// The list's choice is the menu's: the caller's strings and index are not used.
class RadioList : public Adapter<RadioListViewPage, ChoiceRunPage> {
public:
    using Adapter::Adapter;
    void addChoice(const std::string&) override {}
    void selectChoice(int) override {}
    int selectedChoice() override { return page.selectedChoice(); }
};

class CheckChoice : public Adapter<CheckPage, CheckChoiceRunPage> {
public:
    using Adapter::Adapter;
    void addChoice(const std::string& t) override { page.addChoice(t); }
    void setChoiceChecked(int i, int v) override { page.setChoiceChecked(i, v); }
    int isChoiceChecked(int i) override { return page.isChoiceChecked(i); }
    void setAllowEmpty(bool allow) override { page.allowEmpty = allow; }
};

class Accept : public Adapter<AcceptPage, AcceptRunPage> {
public:
    using Adapter::Adapter;
    void setAcceptText(const std::string& t) override { page.setAcceptText(t); }
    void setAcceptLabel(const std::string& t) override { page.setAcceptLabel(t); }
    bool hasAcceptText() override { return page.hasAcceptText(); }
};

class Text : public Adapter<TextPage, TextRunPage> {
public:
    using Adapter::Adapter;
    void setText(const std::string& t) override { page.setText(t); }
};

// Null when memory runs out, which the run reports.
template <class Made, class Interface, class... Args>
std::unique_ptr<Interface> make(Args&&... args) {
    return std::unique_ptr<Interface>(new (std::nothrow) Made(std::forward<Args>(args)...));
}

}  // namespace

std::unique_ptr<ChoiceRunPage> WizardPageFactory::choiceRadioPage() {
    return make<Radio, ChoiceRunPage>(environment_);
}
std::unique_ptr<CheckChoiceRunPage> WizardPageFactory::choiceCheckPage() {
    return make<CheckChoice, CheckChoiceRunPage>(environment_);
}
std::unique_ptr<AcceptRunPage> WizardPageFactory::acceptPage() {
    return make<Accept, AcceptRunPage>(environment_);
}
std::unique_ptr<TextRunPage> WizardPageFactory::textPage() {
    return make<Text, TextRunPage>(environment_);
}
std::unique_ptr<CheckListRunPage> WizardPageFactory::checkListPage(Menu& menu) {
    return make<Adapter<CheckPage, CheckListRunPage>, CheckListRunPage>(environment_, menu);
}
std::unique_ptr<CheckListRunPage> WizardPageFactory::checkListViewPage(Menu& menu) {
    return make<Adapter<CheckListViewPage, CheckListRunPage>, CheckListRunPage>(environment_, menu);
}
std::unique_ptr<ChoiceRunPage> WizardPageFactory::radioPage(Menu& menu) {
    return make<Radio, ChoiceRunPage>(environment_, menu);
}
std::unique_ptr<ChoiceRunPage> WizardPageFactory::radioListViewPage(Menu& menu) {
    return make<RadioList, ChoiceRunPage>(environment_, menu);
}
