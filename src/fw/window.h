#pragma once
// The window base of our framework. An object is bound to its window once, when the window is
// created (or when an existing control is attached), and one switch hands each message to a
// small typed handler. A handler that declines (false, no value, no brush) leaves the message
// to the window's default processing. No C++ exception leaves a window procedure.
//
// Reflection: WM_DRAWITEM, WM_CTLCOLOR* and WM_NOTIFY that a window gets from a child reach
// the child's own object first (onReflected...), then the window's own handler.
#include <windows.h>

#include <memory>
#include <optional>

namespace fw {

struct AccessibleFacts;

class Window {
public:
    Window();
    // Destroys a window still alive (without calling this object's handlers any more) or gives
    // an attached control back its own procedure.
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Creates a window of a class of ours (registered on first use, with the arrow cursor and
    // no background brush); false when the window is not created.
    bool create(const char* className, const char* title, DWORD style, const RECT& rect,
                HWND parent, int id = 0, DWORD exStyle = 0);
    // Takes over an existing window (a control made by someone else) until it is destroyed.
    bool attach(HWND window);
    void destroy();

    HWND hwnd() const { return hwnd_; }
    HWND item(int id) const { return ::GetDlgItem(hwnd_, id); }
    // The object bound to a window, or null.
    static Window* fromHandle(HWND window);

    // From now on screen readers learn these facts of the window (fw/accessible.h).
    void setAccessible(const AccessibleFacts& facts);
    // The same for a control without an object of its own: the object that tells them,
    // attached to it.
    static std::unique_ptr<Window> describe(HWND control, const AccessibleFacts& facts);

protected:
    // The default processing of the message: the window's previous procedure.
    LRESULT defaultProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Any message, before the switch; a value answers it.
    virtual std::optional<LRESULT> onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // After the default creation succeeded; false fails the creation.
    virtual bool onCreate(const CREATESTRUCTA&) { return true; }
    // Before the default destruction (not after a creation that failed).
    virtual void onDestroy() {}
    virtual bool onPaint() { return false; }
    // True: erased (answers 1).
    virtual bool onEraseBackground(HDC) { return false; }
    virtual bool onCommand(int /*id*/, int /*code*/, HWND /*control*/) { return false; }
    virtual std::optional<LRESULT> onNotify(const NMHDR&) { return std::nullopt; }
    virtual void onTimer(UINT_PTR /*id*/) {}
    // A point in screen coordinates; a value such as HTCAPTION answers the hit test.
    virtual std::optional<LRESULT> onHitTest(POINT) { return std::nullopt; }
    // Points in client coordinates; keys are the MK_* flags.
    virtual bool onLButtonDown(POINT, WPARAM /*keys*/) { return false; }
    virtual bool onLButtonUp(POINT, WPARAM /*keys*/) { return false; }
    virtual bool onMouseMove(POINT, WPARAM /*keys*/) { return false; }
    virtual bool onKeyDown(UINT /*key*/, LPARAM /*flags*/) { return false; }
    virtual bool onClose() { return false; }
    // The default processing follows.
    virtual void onActivateApp(bool /*active*/) {}
    // WM_CTLCOLOR* for a child without an object of its own that answers, or for the window
    // itself (WM_CTLCOLORDLG); a brush answers it.
    virtual HBRUSH onCtlColor(HDC, HWND /*control*/, UINT /*message*/) { return nullptr; }
    // WM_DRAWITEM of a child without an object that draws it; true when drawn.
    virtual bool onDrawItem(const DRAWITEMSTRUCT&) { return false; }
    // WM_DPICHANGED: the window's new dots per inch and the rectangle Windows suggests for it
    // (screen coordinates); true when handled.
    virtual bool onDpiChanged(int /*dpi*/, const RECT& /*suggested*/) { return false; }

    // What this window's parent got about this window.
    virtual HBRUSH onReflectedCtlColor(HDC, UINT /*message*/) { return nullptr; }
    virtual bool onReflectedDrawItem(const DRAWITEMSTRUCT&) { return false; }
    virtual std::optional<LRESULT> onReflectedNotify(const NMHDR&) { return std::nullopt; }

    // A handler threw; the message was answered as declined (creation fails).
    virtual void onUnhandledException() {}

    // The switch; Dialog adds its own messages in front of it.
    virtual LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // For those that create their window through a CreationScope of their own: the window
    // is destroyed with this object.
    void setOwned() { owned_ = true; }

    // Binds the next window that this thread creates with the given class to this object
    // (through a creation hook), so that it sees every message from the first one on.
    class CreationScope {
    public:
        CreationScope(Window* window, const char* className);
        ~CreationScope();
        CreationScope(const CreationScope&) = delete;
        CreationScope& operator=(const CreationScope&) = delete;

    private:
        Window* saved_;
        const char* savedClass_;
        HHOOK* savedHook_;
        HHOOK hook_ = nullptr;
    };

private:
    std::optional<LRESULT> askAnsiText(const NMHDR& header);
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK creationHook(int code, WPARAM wParam, LPARAM lParam);
    void bind(HWND window);
    void unbind();

    HWND hwnd_ = nullptr;
    std::unique_ptr<AccessibleFacts> accessible_;
    WNDPROC previous_ = nullptr;  // null: DefWindowProcA
    bool owned_ = false;          // created by this object, not attached
};

}  // namespace fw
