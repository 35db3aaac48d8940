#pragma once
// Wizard pages without windows: each page records what the run gave it and answers as the
// next scripted user step says, doing to the Menu what the real page does.
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "run/run_pages.h"
#include "menu/menu_file.h"

namespace testing_support {

enum class PageKind {
    ChoiceRadio,
    ChoiceCheck,
    Accept,
    Text,
    CheckList,
    CheckListView,
    Radio,
    RadioListView
};
const char* pageKindName(PageKind kind);

struct PageRecord {
    PageKind kind;
    std::string caption, topText, bottomText, sideText, text, acceptText, acceptLabel;
    int buttons = 0;
    bool confirmCancel = true;
    bool allowEmpty = false;
    std::vector<std::string> choices;
    std::vector<int> checked;  // check states of a ChoiceCheck page when it opened
    int preselected = 0;       // selected choice when it opened
    Menu* menu = nullptr;
    int menuIndex = -1;
    std::vector<int> marksAtOpen;  // the Menu's optionSelected when it opened
    int result = 0;
};

// What the user does on one page before it ends with result.
struct UserStep {
    UserStep(PageKind kind, int result = WIZ_NEXT, int choose = -1, std::vector<int> toggle = {},
             std::function<void(const PageRecord&)> during = {})
        : kind(kind),
          result(result),
          choose(choose),
          toggle(std::move(toggle)),
          during(std::move(during)) {}
    PageKind kind;
    int result;
    int choose;               // radio pages: the choice made
    std::vector<int> toggle;  // check pages: boxes clicked (options or choices)
    std::function<void(const PageRecord&)> during;  // runs while the page is open
};

class ScriptedPages : public PageFactory {
public:
    std::vector<UserStep> steps;
    std::vector<PageRecord> shown;
    std::set<PageKind> unavailable;  // kinds that cannot be made
    std::size_t next = 0;

    // "Radio:0 CheckList:1 Text ..." : the kinds shown, with the menu number of menu pages.
    std::string trail() const;

    std::unique_ptr<ChoiceRunPage> choiceRadioPage() override;
    std::unique_ptr<CheckChoiceRunPage> choiceCheckPage() override;
    std::unique_ptr<AcceptRunPage> acceptPage() override;
    std::unique_ptr<TextRunPage> textPage() override;
    std::unique_ptr<CheckListRunPage> checkListPage(Menu& menu) override;
    std::unique_ptr<CheckListRunPage> checkListViewPage(Menu& menu) override;
    std::unique_ptr<ChoiceRunPage> radioPage(Menu& menu) override;
    std::unique_ptr<ChoiceRunPage> radioListViewPage(Menu& menu) override;

    // The next step for a page of this kind; a missing or different step fails the test and
    // cancels the page.
    UserStep take(PageKind kind);
};

}  // namespace testing_support
