#pragma once
// Drives windows as a user would: find them, read their texts, states and list rows, click
// their buttons, type on them, drag them, look at their pixels and save screenshots. It works
// on another process's windows (Setup.exe end to end) as on this process's windows that run
// on another thread (a page run by fw::Thread while the test thread drives it). Every wait is
// for a condition, with a time-out.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace testing_support {

// --- Processes ---
// Starts a program; null on failure.
HANDLE startProgram(const std::string& commandLine, const std::string& folder, DWORD& processId);
// Waits for a process to end; false on time-out. exitCode receives its code.
bool waitForExit(HANDLE process, DWORD timeoutMs, DWORD& exitCode);
// Folder of the running test program, with a trailing backslash.
std::string ownFolder();

// --- Waiting ---
// Polls the condition until it holds or the time is up, handling this thread's messages
// meanwhile (so that windows of the test thread stay alive); its last answer.
bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

// --- Finding windows ---
struct WindowQuery {
    DWORD processId = 0;                 // 0: this process
    std::string className;               // empty: any
    std::string title;                   // empty: any
    std::vector<int> controls;           // ids of children it must have
    DWORD style = 0, styleMask = 0;      // (window style & styleMask) == style
    DWORD exStyle = 0, exStyleMask = 0;  // the same for the extended style
    // A dialog made from the template of this program's resources: its class, its
    // caption-and-frame styles and its controls.
    static WindowQuery fromTemplate(DWORD processId, int templateId);
};
// The visible top-level windows that match, in z-order.
std::vector<HWND> findWindows(const WindowQuery& query);
// The first of them, waited for; null on time-out.
HWND waitForWindow(const WindowQuery& query, DWORD timeoutMs);
// A visible top-level dialog window ("#32770") of the process, waited for; null on time-out.
HWND waitForDialog(DWORD processId, DWORD timeoutMs);

// A visible wizard page of the process (a dialog that holds the Back and Finish buttons),
// waited for; null on time-out.
HWND waitForWizardPage(DWORD processId, DWORD timeoutMs);
// Answers the page that says no platform can be used (its one button, Finish).
bool finishNoPlatformPage(DWORD processId, DWORD timeoutMs);

// --- Reading ---
std::string windowText(HWND window);
std::string controlText(HWND dialog, int id);
// The message text of a message box (its static control).
std::string messageBoxText(HWND box);
bool isChecked(HWND dialog, int id);
bool isVisible(HWND dialog, int id);
// The control of the window's thread that has the keyboard focus, or null.
HWND focusedControl(HWND window);
int focusedId(HWND window);

struct ListRow {
    std::string text;
    bool selected, focused;
};
// Every row of a list view with its first column's text (the owner answers for owner-data
// lists, so its thread must be running its loop).
std::vector<ListRow> listRows(HWND list);

// --- Acting ---
// Clicks the control with the id (posted: a click that opens a message box does not block).
void clickButton(HWND dialog, int id);
// Keys, delivered to the focused control of the window's thread through its message loop:
// a virtual key (VK_RETURN, VK_ESCAPE, VK_TAB ...), typed characters, Alt with a mnemonic.
void pressKey(HWND window, UINT virtualKey);
void typeText(HWND window, const std::string& text);
void pressAlt(HWND window, char mnemonic);
// Presses the left button at a client point of the window, moves the mouse by (dx, dy) and
// releases it; true once the window has moved by that much.
bool dragWindow(HWND window, POINT clientPoint, int dx, int dy, DWORD timeoutMs);

// --- Looking ---
struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;  // 0xRRGGBB, top row first
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};
// The window's client area as it is on the screen.
Picture captureClient(HWND window);
// The system icon a message box shows, told by its pixels (an icon handle means nothing in
// another process): "exclamation", "question", "information", "error", "none" without an
// icon, "other" for any other picture.
std::string messageBoxIcon(HWND box);
// Saves the client area as build/test-artifacts/<suite>.<test>-<state>.png; its path, or empty
// when it could not be written.
std::string saveScreenshot(HWND window, const std::string& state);

}  // namespace testing_support
