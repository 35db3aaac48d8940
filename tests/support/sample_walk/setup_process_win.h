#pragma once
// Drives Setup.exe from another process for the sample walk: waits for each new page, tells
// pages, message boxes and the splash apart, presses buttons without blocking on what they
// start, and saves what is on the screen. Every failure throws WalkError with what was seen.
#include <windows.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "resource.h"

namespace sample_walk {

struct WalkError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

enum class WindowKind { Splash, Page, MessageBox, Other };

class SetupProcess {
public:
    SetupProcess(const std::string& program, const std::string& folder);
    ~SetupProcess();
    SetupProcess(const SetupProcess&) = delete;
    SetupProcess& operator=(const SetupProcess&) = delete;

    // The next visible top-level window of the process of one of the kinds, not `previous`
    // (the caller waits for the previous page to go first).
    HWND waitFor(std::initializer_list<WindowKind> kinds, HWND previous, const std::string& what);
    void waitGone(HWND window, const std::string& what);
    DWORD waitExit(const std::string& what);
    bool running() const;

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

WindowKind kindOf(HWND window);
std::string text(HWND window);
HWND control(HWND page, int id);
// Label -> the choice control (radio button or check box) of a page that carries it.
HWND choice(HWND page, const std::string& label);
std::vector<std::string> choiceLabels(HWND page);
bool checked(HWND button);
bool visible(HWND page, int id);
// A click that returns at once: the page may open a message box or run an installer.
void press(HWND page, int id);
void click(HWND button);
// Types a character into a control as the keyboard would (WM_CHAR).
void type(HWND control, char c);
int selectedRow(HWND list);
// Waits until the condition holds, polling; throws with `what` after the time-out.
void waitUntil(const std::function<bool()>& condition, const std::string& what);
// Saves the window's client area once it is painted and on the screen (a 24-bit BMP).
void screenshot(HWND window, const std::string& path);

}  // namespace sample_walk
