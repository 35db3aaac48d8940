#pragma once
// Drives the windows of another process from outside, as a user would: find its dialog,
// read its texts, press its buttons. Every wait is for a condition, with a time-out.
#include <windows.h>

#include <string>

namespace testing_support {

// Starts a program; null on failure.
HANDLE startProgram(const std::string& commandLine, const std::string& folder, DWORD& processId);
// A visible top-level dialog window ("#32770") of the process, waited for; null on time-out.
HWND waitForDialog(DWORD processId, DWORD timeoutMs);
std::string windowText(HWND window);
// The message text of a message box (its static control).
std::string messageBoxText(HWND box);
// Presses the button with the given id.
void clickButton(HWND dialog, int id);
// Waits for a process to end; false on time-out. exitCode receives its code.
bool waitForExit(HANDLE process, DWORD timeoutMs, DWORD& exitCode);
// Folder of the running test program, with a trailing backslash.
std::string ownFolder();

}  // namespace testing_support
