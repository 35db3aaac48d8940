#include "support/accessible_view_win.h"

#include <map>
#include <utility>

#include "fw/accessible.h"

namespace testing_support {

namespace {

std::string take(BSTR text) {
    std::string out;
    if (text) {
        int n = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
        out.resize(n > 0 ? n - 1 : 0);
        if (n > 1) ::WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    }
    ::SysFreeString(text);
    return out;
}

// The client object of the window and what the callback reads of it, in an apartment of this
// thread for the while.
template <class Read>
void withClientObject(HWND window, Read read) {
    fw::ComApartment com(COINIT_MULTITHREADED);
    IAccessible* object = nullptr;
    if (SUCCEEDED(::AccessibleObjectFromWindow(window, OBJID_CLIENT, fw::ACCESSIBLE_IID,
                                               reinterpret_cast<void**>(&object))) &&
        object) {
        read(*object);
        object->Release();
    }
}

// Events counted by hook and window.
std::map<std::pair<HWINEVENTHOOK, HWND>, int> counted;

void CALLBACK onEvent(HWINEVENTHOOK hook, DWORD, HWND window, LONG object, LONG child, DWORD,
                      DWORD) {
    auto it = counted.find({hook, window});
    if (it != counted.end() && object == OBJID_CLIENT && child == CHILDID_SELF) ++it->second;
}

}  // namespace

AccessibleView readAccessible(HWND window) {
    AccessibleView view;
    withClientObject(window, [&](IAccessible& object) {
        VARIANT self, answer;
        ::VariantInit(&self);
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        auto text = [&](HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) {
            BSTR b = nullptr;
            return (object.*get)(self, &b) == S_OK ? take(b) : take(nullptr);
        };
        auto number = [&](HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*)) {
            ::VariantInit(&answer);
            long n = (object.*get)(self, &answer) == S_OK && answer.vt == VT_I4 ? answer.lVal : 0;
            ::VariantClear(&answer);
            return n;
        };
        view.found = true;
        view.name = text(&IAccessible::get_accName);
        view.description = text(&IAccessible::get_accDescription);
        view.shortcut = text(&IAccessible::get_accKeyboardShortcut);
        view.value = text(&IAccessible::get_accValue);
        view.role = number(&IAccessible::get_accRole);
        view.state = number(&IAccessible::get_accState);
    });
    return view;
}

std::vector<HWND> accessibleChildWindows(HWND window) {
    std::vector<HWND> out;
    withClientObject(window, [&](IAccessible& object) {
        long count = 0, got = 0;
        if (object.get_accChildCount(&count) != S_OK || count <= 0) return;
        std::vector<VARIANT> children(static_cast<std::size_t>(count));
        if (FAILED(::AccessibleChildren(&object, 0, count, children.data(), &got))) return;
        for (long i = 0; i < got; ++i) {
            IAccessible* child = nullptr;
            HWND h = nullptr;
            if (children[i].vt == VT_DISPATCH && children[i].pdispVal &&
                SUCCEEDED(children[i].pdispVal->QueryInterface(fw::ACCESSIBLE_IID,
                                                               reinterpret_cast<void**>(&child)))) {
                if (SUCCEEDED(::WindowFromAccessibleObject(child, &h)) && h) out.push_back(h);
                child->Release();
            }
            ::VariantClear(&children[i]);
        }
    });
    return out;
}

AccessibleEvents::AccessibleEvents(DWORD event, HWND window)
    : hook_(::SetWinEventHook(event, event, nullptr, &onEvent, 0, 0, WINEVENT_OUTOFCONTEXT)),
      window_(window) {
    if (hook_) counted[{hook_, window_}] = 0;
}

AccessibleEvents::~AccessibleEvents() {
    if (hook_) ::UnhookWinEvent(hook_);
    counted.erase({hook_, window_});
}

int AccessibleEvents::count() const {
    auto it = counted.find({hook_, window_});
    return it == counted.end() ? 0 : it->second;
}

}  // namespace testing_support
