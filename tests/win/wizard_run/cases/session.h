#pragma once
// One Setup.exe process of a whole-run suite, driven from outside: the page it shows, its
// message boxes and progress window, screenshots of each page.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "resource.h"
#include "support/ui_driver_win.h"

namespace wizard_run {

using namespace testing_support;

inline HWND choice(HWND page, int i) {
    return ::GetDlgItem(page, FIRST_CHOICE_ID + i);
}

// One Setup.exe process on the disc, and the page it shows.
class Session {
public:
    // Starts the disc's Setup.exe (disc.exe()), or the program given, in the folder it lies
    // in, with disc.temp as its temporary folder.
    template <class Disc>
    Session(const Disc& disc, const std::string& shotPrefix, const std::string& program = "")
        : shots_(shotPrefix) {
        ::GetEnvironmentVariableA("TMP", savedTmp_, sizeof savedTmp_);
        ::SetEnvironmentVariableA("TMP", disc.temp.c_str());
        const std::string exe = program.empty() ? disc.exe() : program;
        process_ = startProgram("\"" + exe + "\"", exe.substr(0, exe.find_last_of('\\')), pid_);
    }
    ~Session() {
        if (process_ && ::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT)
            ::TerminateProcess(process_, 1);
        if (process_) ::CloseHandle(process_);
        ::SetEnvironmentVariableA("TMP", savedTmp_);
    }
    bool started() const { return process_ != nullptr; }

    // The first dialog of the process: the splash, photographed when it is still there.
    void splash() {
        HWND first = nullptr;
        waitUntil([&] {
            auto d = findWindows(dialogQuery());
            if (!d.empty()) first = d.front();
            return first != nullptr;
        });
        if (first && !isWizardPage(first) && !isMessageBox(first)) shot(first, "splash");
    }

    // Waits for a page other than the last one, with its choice controls shown; a message box
    // instead fails the test with its text.
    HWND page(const std::string& name, int choices = 0) {
        HWND found = nullptr;
        std::string box;
        bool seen = waitUntil([&] {
            for (HWND w : findWindows(dialogQuery())) {
                if (isMessageBox(w)) box = messageBoxText(w);
                if (isWizardPage(w) && w != last_ &&
                    (choices == 0 || ::IsWindowVisible(choice(w, choices - 1))))
                    found = w;
            }
            return found || !box.empty();
        });
        EXPECT_TRUE(seen) << "no page " << name;
        EXPECT_EQ(box, "") << "a message instead of the page " << name;
        last_ = found;
        // Photographed once the page has painted: its thread waits for input again.
        ::WaitForInputIdle(process_, UI_TIMEOUT_MS);
        if (found) shot(found, name);
        return found;
    }
    HWND messageBox() {
        HWND found = nullptr;
        waitUntil([&] {
            for (HWND w : findWindows(dialogQuery()))
                if (isMessageBox(w)) found = w;
            return found != nullptr;
        });
        return found;
    }
    HWND progressDialog() {
        HWND found = nullptr;
        waitUntil([&] {
            for (HWND w : findWindows(dialogQuery()))
                if (::GetDlgItem(w, IDC_PROGRESS_BAR) && ::IsIconic(w)) found = w;
            return found != nullptr;
        });
        return found;
    }
    // Clicks a check box or radio button and waits until the page shows it checked.
    void check(HWND page, int i) {
        clickButton(page, FIRST_CHOICE_ID + i);
        EXPECT_TRUE(waitUntil([&] { return isChecked(page, FIRST_CHOICE_ID + i); }))
            << "choice " << i;
    }
    void press(HWND page, int id) { clickButton(page, id); }
    bool ended(DWORD timeoutMs = UI_TIMEOUT_MS) {
        DWORD code = 0;
        return waitForExit(process_, code, timeoutMs);
    }
    // True when the process ended without showing another page.
    bool endsWithoutPage() {
        bool pageSeen = false;
        bool end = waitUntil([&] {
            for (HWND w : findWindows(dialogQuery()))
                if (isWizardPage(w) && w != last_) pageSeen = true;
            return pageSeen || ended(0);
        });
        return end && !pageSeen;
    }
    DWORD pid() const { return pid_; }
    WindowQuery dialogQuery() const { return WindowQuery::dialogs(pid_); }

    // Saves the window as the session's next screenshot (none without a prefix).
    void shot(HWND w, const std::string& name) {
        if (shots_.empty()) return;
        char n[8];
        std::snprintf(n, sizeof n, "%02d-", ++shotCount_);
        saveScreenshot(w, shots_ + n + name);
    }

private:
    std::string shots_;
    int shotCount_ = 0;
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
    HWND last_ = nullptr;
    char savedTmp_[MAX_PATH] = "";
};

}  // namespace wizard_run
