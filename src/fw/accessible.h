#pragma once
// What a window of ours tells screen readers beyond what the system's standard accessible
// object says of it: its name, role, description, keyboard shortcut and value. A window
// answers WM_GETOBJECT for its client object with the standard object wrapped so that these
// facts replace the standard ones; everything else (children, location, navigation,
// default action) stays the standard object's.
#include <windows.h>

#include <objbase.h>
#include <oleacc.h>

#include <functional>
#include <optional>
#include <string>

namespace fw {

// MinGW's liboleacc.a holds a broken IID_IAccessible.
inline constexpr IID ACCESSIBLE_IID = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// COM on this thread (COINIT_*), left as it was at the end; a thread in COM already keeps
// its own.
class ComApartment {
public:
    explicit ComApartment(DWORD mode) : ok_(SUCCEEDED(::CoInitializeEx(nullptr, mode))) {}
    ~ComApartment() {
        if (ok_) ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool ok_;
};

// UTF-8 texts; an empty text or role 0 leaves the standard answer.
struct AccessibleFacts {
    std::string name, description, shortcut;
    long role = 0;
    // The state adds the window's own (see accessibleState) to the standard one; checkable
    // controls add their check.
    bool checkable = false;
    // Read when asked (the progress bar's percentage), on the window's thread.
    std::function<std::string()> value;
};

// STATE_SYSTEM_* of a window: unavailable when disabled or hidden (a hidden button cannot be
// pressed), invisible when hidden, focusable, focused when its thread's focus is on it, and
// checked when checkable and checked.
long accessibleState(HWND window, bool checkable);

// The answer to WM_GETOBJECT (wParam, lParam as received) for the client object of window,
// or none for another object or when the object cannot be made (the default then answers).
std::optional<LRESULT> answerObjectRequest(HWND window, WPARAM wParam, LPARAM lParam,
                                           const AccessibleFacts& facts);

// Tells readers that a window's name or value changed (EVENT_OBJECT_NAMECHANGE, ...).
void notifyAccessible(DWORD event, HWND window);

}  // namespace fw
