#pragma once
// What a screen reader learns of a window: its client object, asked through
// AccessibleObjectFromWindow as a reader asks it (from any thread or process), and the
// windows among the object's accessible children.
#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

struct AccessibleView {
    bool found = false;  // the object was given
    std::string name, description, shortcut, value;
    long role = 0, state = 0;
};

// The client object of the window, read for itself (CHILDID_SELF).
AccessibleView readAccessible(HWND window);
// The child windows that the window's client object gives as its children, in its order.
std::vector<HWND> accessibleChildWindows(HWND window);

// Counts the events of a kind that readers are told about a window (EVENT_OBJECT_...).
class AccessibleEvents {
public:
    AccessibleEvents(DWORD event, HWND window);
    ~AccessibleEvents();
    AccessibleEvents(const AccessibleEvents&) = delete;
    AccessibleEvents& operator=(const AccessibleEvents&) = delete;
    // How many have arrived (they come through this thread's messages: wait with waitUntil).
    int count() const;

private:
    HWINEVENTHOOK hook_;
    HWND window_;
};

}  // namespace testing_support
