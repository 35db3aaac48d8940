#include "fw/accessible.h"

#include "platform/win32/wide_text_win.h"

namespace fw {

namespace {

const IID UNKNOWN_IID = {0x00000000, 0x0000, 0x0000, {0xc0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID DISPATCH_IID = {0x00020400, 0x0000, 0x0000, {0xc0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID ENUM_VARIANT_IID = {0x00020404, 0x0000, 0x0000, {0xc0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID OLE_WINDOW_IID = {0x00000114, 0x0000, 0x0000, {0xc0, 0, 0, 0, 0, 0, 0, 0x46}};

bool isSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

HRESULT giveText(const std::string& text, BSTR* out) {
    if (!out) return E_POINTER;
    const std::wstring wide = platform::win32::wide(text);
    *out = ::SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT giveNumber(long number, VARIANT* out) {
    if (!out) return E_POINTER;
    ::VariantInit(out);
    out->vt = VT_I4;
    out->lVal = number;
    return S_OK;
}

// The standard object with the facts in front of it.
class Wrapper final : public IAccessible {
public:
    Wrapper(HWND window, IAccessible* inner, AccessibleFacts facts)
        : window_(window), inner_(inner), facts_(std::move(facts)) {}

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (IsEqualIID(iid, UNKNOWN_IID) || IsEqualIID(iid, DISPATCH_IID) ||
            IsEqualIID(iid, ACCESSIBLE_IID)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        // The children's list and the window handle are the standard object's to give.
        if (IsEqualIID(iid, ENUM_VARIANT_IID) || IsEqualIID(iid, OLE_WINDOW_IID))
            return inner_->QueryInterface(iid, out);
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ::InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = ::InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return inner_->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return inner_->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return inner_->GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argument) override {
        return inner_->Invoke(id, iid, locale, flags, params, result, exception, argument);
    }

    // IAccessible: the facts for the object itself, the standard answers for the rest.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return inner_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        return inner_->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        return inner_->get_accChild(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* out) override {
        if (isSelf(child) && !facts_.name.empty()) return giveText(facts_.name, out);
        return inner_->get_accName(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* out) override {
        if (isSelf(child) && facts_.value) return giveText(facts_.value(), out);
        return inner_->get_accValue(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* out) override {
        if (isSelf(child) && !facts_.description.empty()) return giveText(facts_.description, out);
        return inner_->get_accDescription(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* out) override {
        if (isSelf(child) && facts_.role) return giveNumber(facts_.role, out);
        return inner_->get_accRole(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* out) override {
        if (!isSelf(child)) return inner_->get_accState(child, out);
        // The standard state (read-only, selectable ...) with the window's own.
        long state = accessibleState(window_, facts_.checkable);
        VARIANT standard;
        ::VariantInit(&standard);
        if (SUCCEEDED(inner_->get_accState(child, &standard)) && standard.vt == VT_I4)
            state |= standard.lVal;
        ::VariantClear(&standard);
        return giveNumber(state, out);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* out) override {
        return inner_->get_accHelp(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return inner_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* out) override {
        if (isSelf(child) && !facts_.shortcut.empty()) return giveText(facts_.shortcut, out);
        return inner_->get_accKeyboardShortcut(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* out) override {
        return inner_->get_accFocus(out);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* out) override {
        return inner_->get_accSelection(out);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* out) override {
        return inner_->get_accDefaultAction(child, out);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return inner_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        return inner_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* out) override {
        return inner_->accNavigate(direction, start, out);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* out) override {
        return inner_->accHitTest(x, y, out);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return inner_->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return inner_->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return inner_->put_accValue(child, value);
    }

private:
    ~Wrapper() { inner_->Release(); }

    LONG references_ = 1;
    HWND window_;
    IAccessible* inner_;
    AccessibleFacts facts_;
};

}  // namespace

long accessibleState(HWND window, bool checkable) {
    const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
    long state = STATE_SYSTEM_FOCUSABLE;
    if (!(style & WS_VISIBLE)) state |= STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_UNAVAILABLE;
    if (style & WS_DISABLED) state |= STATE_SYSTEM_UNAVAILABLE;
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    if (::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &thread) &&
        thread.hwndFocus == window)
        state |= STATE_SYSTEM_FOCUSED;
    if (checkable && ::SendMessageW(window, BM_GETCHECK, 0, 0) == BST_CHECKED)
        state |= STATE_SYSTEM_CHECKED;
    return state;
}

std::optional<LRESULT> answerObjectRequest(HWND window, WPARAM wParam, LPARAM lParam,
                                           const AccessibleFacts& facts) {
    if (static_cast<LONG>(static_cast<DWORD>(lParam)) != OBJID_CLIENT) return std::nullopt;
    // The apartment that hands our objects to readers: one for each thread that answers, for
    // the thread's life.
    thread_local ComApartment apartment(COINIT_APARTMENTTHREADED);
    IAccessible* inner = nullptr;
    if (FAILED(::CreateStdAccessibleObject(window, OBJID_CLIENT, ACCESSIBLE_IID,
                                           reinterpret_cast<void**>(&inner))) ||
        !inner)
        return std::nullopt;
    auto* wrapper = new Wrapper(window, inner, facts);
    const LRESULT answer = ::LresultFromObject(ACCESSIBLE_IID, wParam, wrapper);
    wrapper->Release();  // the answer holds its own reference
    if (FAILED(static_cast<HRESULT>(answer))) return std::nullopt;
    return answer;
}

void notifyAccessible(DWORD event, HWND window) {
    if (window) ::NotifyWinEvent(event, window, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace fw
