#pragma once
// A dialog from a template of res/Setup.rc, in the role of the framework dialog class: run
// modally (no owner; the end value, or -1 when the window cannot be created) or created
// modeless. Unlike a plain dialog procedure it sees WM_CREATE and everything after it, so
// set-up work can live in onCreate, and a false from onCreate makes doModal return -1.
//
// A page looks like this (handlers are those of fw::Window; a handler that returns false or
// no value leaves the message to the default processing):
//
//   class AcceptPage : public fw::Dialog {
//   public:
//       AcceptPage() : Dialog(IDD_WIZARD_PAGE) {}      // ids: res/resource.h
//   protected:
//       bool onCreate(const CREATESTRUCTA&) override {  // fonts, layout; false: doModal -1
//           font_.reset(::CreateFontA(...));
//           return bool(font_);
//       }
//       bool onInitDialog() override {                   // controls, position, focus
//           next_.create(hwnd(), "&Next", WIZ_NEXT, nextRect, true);  // a BitmapButton
//           ::SetFocus(next_.hwnd());
//           return false;                                // false: the focus is set
//       }
//       bool onCommand(int id, int code, HWND control) override {
//           if (id == IDC_ACCEPT_CHECK) { ...; return true; }
//           return Dialog::onCommand(id, code, control);  // IDOK: onOk, IDCANCEL: onCancel
//       }
//       void onOk() override { endDialog(WIZ_NEXT); }
//       bool onEraseBackground(HDC dc) override { ...; return true; }
//       bool onPaint() override { fw::PaintScope paint(hwnd()); ...; return true; }
//       HBRUSH onCtlColor(HDC dc, HWND control, UINT message) override { ... }  // or nullptr
//       std::optional<LRESULT> onNotify(const NMHDR& n) override { ... }    // list rows
//       std::optional<LRESULT> onHitTest(POINT screen) override { return HTCAPTION; }
//       fw::Font font_;
//       BitmapButton next_{&normal, &focused};
//   };
//
//   AcceptPage page;
//   INT_PTR result = page.doModal();  // the value given to endDialog, or -1
//
// Enter and Escape arrive as commands IDOK and IDCANCEL (also in a modeless dialog, as long as
// the thread's loop uses fw::dispatchMessage); the close box arrives as IDCANCEL too.
#include "fw/window.h"

namespace fw {

class Dialog : public Window {
public:
    explicit Dialog(int templateId) : templateId_(templateId) {}

    // Creates the window, runs it until endDialog and destroys it: the value given to
    // endDialog, or -1 when the window could not be created (or a handler threw).
    INT_PTR doModal();
    // Creates the window modeless (shown when its template says WS_VISIBLE); false on failure.
    bool create(HWND parent = nullptr);
    // Modal: ends the run with the value. Modeless: destroys the window (the value is not
    // kept: nothing asks a modeless dialog how it ended).
    void endDialog(INT_PTR result);

protected:
    // After the controls of the template exist; true lets the system focus the first one.
    virtual bool onInitDialog() { return true; }
    virtual void onOk() { endDialog(IDOK); }
    virtual void onCancel() { endDialog(IDCANCEL); }
    // Every WM_COMMAND; the normal routing sends clicks of IDOK to onOk and of IDCANCEL to
    // onCancel. True when handled.
    bool onCommand(int id, int code, HWND control) override;

    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // A modal run ends with -1.
    void onUnhandledException() override;

private:
    static INT_PTR CALLBACK dialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

    int templateId_;
    bool modal_ = false;
};

}  // namespace fw
