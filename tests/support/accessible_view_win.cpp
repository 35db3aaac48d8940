#include "support/accessible_view_win.h"

#include "fw/accessible.h"

#include <oleacc.h>

#include <map>
#include <utility>

namespace testing_support {

namespace {

template <class T>
class Com {
public:
    Com() = default;
    ~Com() {
        if (p_) p_->Release();
    }
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    T** out() { return &p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

std::string utf8(BSTR text) {
    if (!text) return {};
    int n = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) ::WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    ::SysFreeString(text);
    return out;
}

VARIANT self() {
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = CHILDID_SELF;
    return v;
}

long number(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*), IAccessible* a) {
    VARIANT v;
    ::VariantInit(&v);
    long n = (a->*get)(self(), &v) == S_OK && v.vt == VT_I4 ? v.lVal : 0;
    ::VariantClear(&v);
    return n;
}

std::string text(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*), IAccessible* a) {
    BSTR b = nullptr;
    return (a->*get)(self(), &b) == S_OK ? utf8(b) : (::SysFreeString(b), std::string());
}

std::map<HWINEVENTHOOK, int>& eventCounts() {
    static std::map<HWINEVENTHOOK, int> counts;
    return counts;
}
std::map<HWINEVENTHOOK, HWND>& eventWindows() {
    static std::map<HWINEVENTHOOK, HWND> windows;
    return windows;
}

void CALLBACK onEvent(HWINEVENTHOOK hook, DWORD, HWND window, LONG object, LONG child, DWORD,
                      DWORD) {
    if (window == eventWindows()[hook] && object == OBJID_CLIENT && child == CHILDID_SELF)
        ++eventCounts()[hook];
}

}  // namespace

AccessibleView readAccessible(HWND window) {
    fw::ComApartment com(COINIT_MULTITHREADED);
    Com<IAccessible> a;
    AccessibleView view;
    if (FAILED(::AccessibleObjectFromWindow(window, OBJID_CLIENT, fw::ACCESSIBLE_IID,
                                            reinterpret_cast<void**>(a.out()))) ||
        !a)
        return view;
    view.found = true;
    view.name = text(&IAccessible::get_accName, a.operator->());
    view.description = text(&IAccessible::get_accDescription, a.operator->());
    view.shortcut = text(&IAccessible::get_accKeyboardShortcut, a.operator->());
    view.value = text(&IAccessible::get_accValue, a.operator->());
    view.role = number(&IAccessible::get_accRole, a.operator->());
    view.state = number(&IAccessible::get_accState, a.operator->());
    return view;
}

std::vector<HWND> accessibleChildWindows(HWND window) {
    fw::ComApartment com(COINIT_MULTITHREADED);
    Com<IAccessible> a;
    std::vector<HWND> out;
    if (FAILED(::AccessibleObjectFromWindow(window, OBJID_CLIENT, fw::ACCESSIBLE_IID,
                                            reinterpret_cast<void**>(a.out()))) ||
        !a)
        return out;
    long count = 0;
    if (a->get_accChildCount(&count) != S_OK || count <= 0) return out;
    std::vector<VARIANT> children(static_cast<std::size_t>(count));
    long got = 0;
    if (FAILED(::AccessibleChildren(a.operator->(), 0, count, children.data(), &got))) return out;
    for (long i = 0; i < got; ++i) {
        if (children[i].vt == VT_DISPATCH && children[i].pdispVal) {
            HWND child = nullptr;
            Com<IAccessible> c;
            if (SUCCEEDED(children[i].pdispVal->QueryInterface(
                    fw::ACCESSIBLE_IID, reinterpret_cast<void**>(c.out()))) &&
                c && SUCCEEDED(::WindowFromAccessibleObject(c.operator->(), &child)) && child)
                out.push_back(child);
        }
        ::VariantClear(&children[i]);
    }
    return out;
}

AccessibleEvents::AccessibleEvents(DWORD event, HWND window)
    : hook_(::SetWinEventHook(event, event, nullptr, &onEvent, 0, 0, WINEVENT_OUTOFCONTEXT)) {
    if (hook_) {
        eventCounts()[hook_] = 0;
        eventWindows()[hook_] = window;
    }
}

AccessibleEvents::~AccessibleEvents() {
    if (!hook_) return;
    ::UnhookWinEvent(hook_);
    eventCounts().erase(hook_);
    eventWindows().erase(hook_);
}

int AccessibleEvents::count() const {
    auto it = eventCounts().find(hook_);
    return it == eventCounts().end() ? 0 : it->second;
}

}  // namespace testing_support
