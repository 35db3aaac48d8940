#pragma once
// The wizard pages as the run sees them. Setup.exe plugs in the Win32 pages; tests plug in
// scripted ones, so that every path of the run is walked without a window.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rules/wizard_types.h"

struct Menu;

// A page's picture: width * height values 0xRRGGBB, the top row first.
struct PagePicture {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
};

class RunPage {
public:
    virtual ~RunPage() = default;
    virtual void setCaption(const std::string& text) = 0;
    virtual void setTopText(const std::string& text) = 0;
    virtual void setBottomText(const std::string& text) = 0;
    virtual void setSideText(const std::string& text) = 0;
    virtual void setButtons(int flags) = 0;
    virtual void setConfirmCancel(bool confirm) = 0;
    // Shows the page modally: WIZ_NEXT, WIZ_CANCEL, WIZ_FINISH, WIZ_BACK, or -1 when the
    // window cannot be made.
    virtual int runPage() = 0;
    // Makes the page as runPage shows it, paints it into picture and destroys it without
    // waiting for the user; false when the page or its picture cannot be made.
    virtual bool paintPicture(PagePicture& picture) = 0;
};

// A check list over a Menu: the page writes the marks into the Menu's optionSelected.
using CheckListRunPage = RunPage;

// One choice among several: a radio page over a Menu or over strings of the caller.
class ChoiceRunPage : public RunPage {
public:
    virtual void addChoice(const std::string& text) = 0;
    virtual void selectChoice(int index) = 0;
    virtual int selectedChoice() = 0;
};

// Strings of the caller as check boxes.
class CheckChoiceRunPage : public RunPage {
public:
    virtual void addChoice(const std::string& text) = 0;
    virtual void setChoiceChecked(int index, int value) = 0;
    virtual int isChoiceChecked(int index) = 0;
    virtual void setAllowEmpty(bool allow) = 0;
};

class AcceptRunPage : public RunPage {
public:
    virtual void setAcceptText(const std::string& text) = 0;
    virtual void setAcceptLabel(const std::string& text) = 0;
    virtual bool hasAcceptText() = 0;
};

class TextRunPage : public RunPage {
public:
    virtual void setText(const std::string& text) = 0;
};

// Makes one page per step; null when the page cannot be made (the run then reports that
// memory ran out). The Menu pages point to the Menu and own nothing of it.
class PageFactory {
public:
    virtual ~PageFactory() = default;
    virtual std::unique_ptr<ChoiceRunPage> choiceRadioPage() = 0;
    virtual std::unique_ptr<CheckChoiceRunPage> choiceCheckPage() = 0;
    virtual std::unique_ptr<AcceptRunPage> acceptPage() = 0;
    virtual std::unique_ptr<TextRunPage> textPage() = 0;
    virtual std::unique_ptr<CheckListRunPage> checkListPage(Menu& menu) = 0;
    virtual std::unique_ptr<CheckListRunPage> checkListViewPage(Menu& menu) = 0;
    virtual std::unique_ptr<ChoiceRunPage> radioPage(Menu& menu) = 0;
    virtual std::unique_ptr<ChoiceRunPage> radioListViewPage(Menu& menu) = 0;
};
