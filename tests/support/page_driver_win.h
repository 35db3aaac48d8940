#pragma once
// Drives a window of this process that runs modally on the test's own thread: the script
// runs on a second thread and acts as a user would (clicks, keys, the mouse), reads what the
// window shows (focus, visibility, check states, pixels) and saves screenshots. Every wait is
// for a condition, with a time-out.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

namespace testing_support {

inline constexpr DWORD UI_TIMEOUT_MS = 20000;

class PageDriver {
public:
    // Runs show() here (it returns when its window is closed) while script(driver) runs on a
    // second thread; returns show()'s value. A script that throws or fails leaves the window
    // to be closed by the script's end: the driver ends a window still open with Escape and
    // then with WM_CLOSE.
    static int run(const std::function<int()>& show,
                   const std::function<void(PageDriver&)>& script);

    // The visible top-level dialog of the showing thread that is not owned by another window
    // (the page), or one owned by owner (a message box); null on time-out.
    HWND waitForPage();
    HWND waitForOwned(HWND owner);
    // Waits until the window is gone.
    bool waitForClose(HWND window);
    bool waitUntil(const std::function<bool()>& condition);

    // Presses a button as a click does (posted, so that a modal window it opens does not
    // block the script).
    void click(HWND control);
    void click(HWND dialog, int id) { click(::GetDlgItem(dialog, id)); }
    // Keys and the mouse through the system's input queue, to the foreground window.
    void key(WORD vk, bool shift = false, bool control = false, bool alt = false);
    void type(const std::string& text);
    void mouseClick(HWND window, POINT client, bool twice = false, bool shift = false);
    void mouseDrag(HWND window, POINT fromClient, POINT toClient);
    // Moves the dialog focus to a control as Tab would.
    void focus(HWND dialog, HWND control);

    HWND focused() const;
    bool visible(HWND control) const;
    bool checked(HWND control) const;
    // Client rectangle of a child in its parent's client coordinates.
    RECT childRect(HWND child) const;
    // 0xRRGGBB of the window's client point as the screen shows it.
    std::uint32_t pixel(HWND window, int x, int y) const;
    // A PNG of the window under build/test-artifacts/; its path, or empty on failure.
    std::string screenshot(HWND window, const std::string& name) const;

    DWORD guiThread() const { return guiThread_; }

private:
    HWND waitForReady(HWND owner);

    DWORD guiThread_ = 0;
};

}  // namespace testing_support
