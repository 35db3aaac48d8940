#pragma once
// The one driver of the GUI tests. It acts as a user would: finds windows, reads their texts,
// states and list rows, clicks, keys and drags through the system's input, looks at their
// pixels once they are painted and saves screenshots under build/test-artifacts/. It works
// on another process's windows (Setup.exe end to end) as on this process's windows; a page of
// this process is shown on the test's thread while a script drives it from a second thread
// (PageDriver::run). Every wait is for a condition, with one time-out.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

// Long enough for a Windows version's prefix that starts cold; a wait that holds returns at
// once.
inline constexpr DWORD UI_TIMEOUT_MS = 60000;

// --- Waiting ---
// Polls the condition until it holds or the time is up, handling this thread's messages
// meanwhile (so that windows of this thread stay alive); its last answer.
bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs = UI_TIMEOUT_MS);

// --- Processes ---
// Starts a program; null on failure. output (inheritable), when given, is its standard output.
HANDLE startProgram(const std::string& commandLine, const std::string& folder, DWORD& processId,
                    HANDLE output = nullptr);
// Waits for a process to end; false on time-out. exitCode receives its code.
bool waitForExit(HANDLE process, DWORD& exitCode, DWORD timeoutMs = UI_TIMEOUT_MS);
// Folder of the running test program, with a trailing backslash.
std::string ownFolder();

// --- Finding windows ---
struct WindowQuery {
    DWORD processId = 0;                 // 0: this process
    DWORD threadId = 0;                  // 0: any thread of it
    std::string className;               // empty: any
    std::string title;                   // empty: any
    std::vector<int> controls;           // ids of children it must have
    DWORD style = 0, styleMask = 0;      // (window style & styleMask) == style
    DWORD exStyle = 0, exStyleMask = 0;  // the same for the extended style
    std::optional<HWND> owner;           // set: the window's owner (null: owned by none)
    std::function<bool(HWND)> also;      // set: must hold as well
    // The dialog windows ("#32770") of a process.
    static WindowQuery dialogs(DWORD processId);
    // A dialog made from the template of this program's resources: its class, its
    // caption-and-frame styles and its controls.
    static WindowQuery fromTemplate(DWORD processId, int templateId);
};
// The visible top-level windows that match, in z-order.
std::vector<HWND> findWindows(const WindowQuery& query);
// The first of them, waited for until its thread is back in its message loop (a window shows
// itself while it initialises); null on time-out.
HWND waitForWindow(const WindowQuery& query, DWORD timeoutMs = UI_TIMEOUT_MS);
// A visible top-level dialog window of the process, waited for; null on time-out.
HWND waitForDialog(DWORD processId, DWORD timeoutMs = UI_TIMEOUT_MS);
// Waits until the window is gone or hidden.
bool waitForClose(HWND window);

// A message box (its text is the static control 0xFFFF); a wizard page (the navigation
// buttons Back, Finish and Cancel).
bool isMessageBox(HWND window);
bool isWizardPage(HWND window);
// Answers the page that says no platform can be used (its one button, Finish).
bool finishNoPlatformPage(DWORD processId);

// --- Reading ---
std::string windowText(HWND window);
// The same read through the wide function, in UTF-8: every character as the window holds it.
std::string wideWindowText(HWND window);
std::string controlText(HWND dialog, int id);
// The message text of a message box.
std::string messageBoxText(HWND box);
// The window's text as the wide functions hold it, in UTF-8 (windowText gives the ANSI code
// page's bytes, with "?" for what it cannot hold).
std::string wideWindowText(HWND window);
bool isChecked(HWND control);
bool isChecked(HWND dialog, int id);
bool isVisible(HWND control);
bool isVisible(HWND dialog, int id);
// The control of the window's thread that has the keyboard focus, or null.
HWND focusedControl(HWND window);
int focusedId(HWND window);
// Rectangle of a child in its parent's client coordinates.
RECT childRect(HWND child);

struct ListRow {
    std::string text;
    bool selected, focused;
};
// Every row of a list view with its first column's text (the owner answers for owner-data
// lists, so its thread must be running its loop).
std::vector<ListRow> listRows(HWND list);
// The same with the rows' wide texts in UTF-8.
std::vector<ListRow> wideListRows(HWND list);

// --- Acting ---
// Presses a button as a click does (posted: a click that opens a message box or starts a
// program does not block).
void clickButton(HWND button);
void clickButton(HWND dialog, int id);
// Keys through the system's input, once the window is the foreground window: they reach the
// focused control of its thread through its message loop, with the modifiers held down.
enum KeyModifier : unsigned { SHIFT = 1, CONTROL = 2, ALT = 4 };
void pressKey(HWND window, UINT virtualKey, unsigned modifiers = 0);
void typeText(HWND window, const std::string& text);
// Types the characters of a UTF-8 text as a keyboard of their script would (one WM_CHAR of
// each wide character, whatever the layout).
void typeCharacters(HWND window, const std::string& utf8);
void pressAlt(HWND window, char mnemonic);
// Moves the dialog focus to a control as Tab would, and waits until it is there.
bool focusControl(HWND control);
// The left mouse button at a client point of the window (twice: a double click).
void clickAt(HWND window, POINT clientPoint, bool twice = false, unsigned modifiers = 0);
// Presses the left button at a client point of the window, moves the mouse by (dx, dy) and
// releases it; true once the window has moved by that much and left its move loop.
bool dragWindow(HWND window, POINT clientPoint, int dx, int dy);

// --- Looking ---
struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;  // 0xRRGGBB, top row first
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};
// The window's client area once its thread has painted it anew: of this process's windows
// what they painted, of another process's what the screen shows once it is steady.
Picture captureClient(HWND window);
// A rectangle of the screen, once two looks in a row agree.
Picture captureScreen(const RECT& area);
// The system icon a message box shows, told by its pixels (an icon handle means nothing in
// another process): "exclamation", "question", "information", "error", "none" without an
// icon, "other" for any other picture.
std::string messageBoxIcon(HWND box);
// build/test-artifacts/, with a trailing backslash.
std::string artifactFolder();
// Saves a picture as build/test-artifacts/<suite>.<test>[@<version> or @dpi<N>]-<state>.png (the
// run label where a suite runs once per Windows version or screen scale); its path, or empty when
// it could not be written.
std::string savePicture(const Picture& picture, const std::string& state);
// The same for the window's client area.
std::string saveScreenshot(HWND window, const std::string& state);

// --- A page of this process ---
class PageDriver {
public:
    // Runs show() here (it returns when its window is closed) while script(driver) runs on a
    // second thread; returns show()'s value. Whatever the script leaves open (it failed or
    // threw) is closed after it: a message box answered, the page sent WM_CLOSE.
    static int run(const std::function<int()>& show,
                   const std::function<void(PageDriver&)>& script);

    // The visible dialog of the showing thread that no window owns (the page), or one that
    // owner owns (a message box), once it is ready; null on time-out.
    HWND waitForPage() const;
    HWND waitForOwned(HWND owner) const;

private:
    DWORD guiThread_ = 0;
};

}  // namespace testing_support
