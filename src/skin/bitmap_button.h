#pragma once
// An owner-drawn push button painted from two skin pictures: the normal one, and the one
// shown while it has the keyboard focus. It never erases its background, so it never
// flickers; it draws no text, border or focus rectangle.
#include <windows.h>

class BitmapImage;

class BitmapButton {
public:
    // The images are used, not owned; either may be null (the button then draws nothing).
    BitmapButton(BitmapImage* normalImage, BitmapImage* focusImage);
    ~BitmapButton();
    BitmapButton(const BitmapButton&) = delete;
    BitmapButton& operator=(const BitmapButton&) = delete;

    // Takes over a button the caller created with BS_OWNERDRAW.
    bool attach(HWND button);
    HWND hwnd() const { return hwnd_; }

    void DrawItem(const DRAWITEMSTRUCT& draw);
    // For the parent's WM_DRAWITEM: draws when the control is a BitmapButton; true then.
    static bool reflectDrawItem(const DRAWITEMSTRUCT& draw);

private:
    static LRESULT CALLBACK messageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR id, DWORD_PTR self);
    void detach();

    BitmapImage* normalImage_;
    BitmapImage* focusImage_;
    HWND hwnd_ = nullptr;
};
