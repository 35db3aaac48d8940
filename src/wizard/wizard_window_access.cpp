// What the pages tell screen readers, and the keyboard's way through them.
#include <oleacc.h>

#include "config/setup_config.h"
#include "fw/accessible.h"
#include "rules/page_access.h"
#include "wizard/wizard_window.h"

namespace {

WizRect placeOf(HWND control, HWND page) {
    RECT r{};
    ::GetWindowRect(control, &r);
    ::MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right, r.bottom};
}

// A check box or radio button: arrows move among a run of them.
bool isChoiceButton(HWND control) {
    wchar_t cls[16] = L"";
    ::GetClassNameW(control, cls, 16);
    if (::lstrcmpiW(cls, L"BUTTON") != 0) return false;
    switch (::GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
        case BS_3STATE:
        case BS_AUTO3STATE: return true;
        default: return false;
    }
}

void setGroupStart(HWND control, bool start) {
    const LONG_PTR style = ::GetWindowLongPtrW(control, GWL_STYLE);
    const LONG_PTR wanted = start ? style | WS_GROUP : style & ~static_cast<LONG_PTR>(WS_GROUP);
    if (wanted != style) ::SetWindowLongPtrW(control, GWL_STYLE, wanted);
}

}  // namespace

void WizardWindow::describeControl(HWND control, const std::string& name, long role) {
    if (!control) return;
    fw::AccessibleFacts facts;
    facts.name = name;
    facts.role = role;
    if (auto teller = fw::Window::describe(control, facts)) tellers_.push_back(std::move(teller));
}

void WizardWindow::describeChoice(HWND control, const std::string& label, long role) {
    if (!control) return;
    fw::AccessibleFacts facts;
    facts.name = withoutMnemonic(label);
    facts.shortcut = mnemonicShortcut(label);
    facts.role = role;
    facts.checkable = true;
    if (auto teller = fw::Window::describe(control, facts)) tellers_.push_back(std::move(teller));
}

std::string WizardWindow::questionName() const {
    if (!topText.empty()) return topText;
    return pageName(caption, environment_.config ? config().getText(TEXT_TITLE) : "");
}

LRESULT WizardWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) tellers_.clear();
    if (message != WM_INITDIALOG || !environment_.config)
        return fw::Dialog::handleMessage(message, wParam, lParam);
    // The page is read as its caption, then the painted texts: the reader says both when the
    // page comes to the front, before the control with the focus.
    fw::AccessibleFacts facts;
    facts.name = pageName(caption, config().getText(TEXT_TITLE));
    facts.description = pageDescription(topText, bottomText, sideText);
    facts.role = ROLE_SYSTEM_DIALOG;
    setAccessible(facts);

    const bool systemFocus = fw::Dialog::handleMessage(message, wParam, lParam) != FALSE;
    // The system's choice stays what it was: the first tab stop as the controls were made.
    HWND first = systemFocus ? ::GetNextDlgTabItem(hwnd(), nullptr, FALSE) : nullptr;
    arrangeKeyboard();
    HWND focus = ::GetFocus();
    if (first) {
        ::SetFocus(first);
    } else if (nextButton() && (!focus || !::IsChild(hwnd(), focus))) {
        ::SetFocus(nextButton());
        ::InvalidateRect(nextButton(), nullptr, TRUE);
    }
    // Focus pictures and rectangles show from the start, also when the page was opened by
    // the mouse.
    ::SendMessageW(hwnd(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    // Placed and shown in one step, as the last thing; a preview picture shows the page
    // itself, transparent (paintPicture).
    ::SetWindowPos(hwnd(), nullptr, place_.left, place_.top, place_.right - place_.left,
                   place_.bottom - place_.top,
                   SWP_NOZORDER | (showLater_ ? SWP_NOACTIVATE : SWP_SHOWWINDOW));
    return FALSE;
}

void WizardWindow::arrangeKeyboard() {
    std::vector<HWND> controls;
    std::vector<WizRect> places;
    std::vector<bool> choice;
    for (HWND c = ::GetWindow(hwnd(), GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        controls.push_back(c);
        places.push_back(placeOf(c, hwnd()));
        choice.push_back(isChoiceButton(c));
    }
    auto navigation = [this](HWND c) {
        return c == nextButton() || c == finishButton() || c == cancelButton() || c == backButton();
    };
    // The z-order is the tab order. Only the controls out of order move (the navigation
    // buttons, made before the page's own): each move is a call to the system's server and
    // messages to the control.
    const std::vector<int> order = readingOrder(places);
    const std::vector<bool> kept = keptInOrder(order);
    for (std::size_t k = 0; k < order.size(); ++k)
        if (!kept[k])
            ::SetWindowPos(controls[order[k]], k ? controls[order[k - 1]] : HWND_TOP, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // A group of the arrow keys is a run of choice buttons or the navigation buttons, every
    // other control a group of its own.
    for (std::size_t k = 0; k < order.size(); ++k) {
        const int i = order[k], previous = k ? order[k - 1] : -1;
        const bool sameGroup =
            previous >= 0 && ((navigation(controls[i]) && navigation(controls[previous])) ||
                              (choice[i] && choice[previous]));
        setGroupStart(controls[i], !sameGroup);
    }
}
