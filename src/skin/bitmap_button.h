#pragma once
// An owner-drawn push button painted from two skin pictures: the normal one, and the one
// shown while it has the keyboard focus. It never erases its background, so it never
// flickers; it draws no text, border or focus rectangle. Its parent's WM_DRAWITEM reaches it
// by reflection. In high contrast it is a standard push button showing its text.
#include <windows.h>

#include "fw/window.h"

class BitmapImage;

class BitmapButton : public fw::Window {
public:
    // The images are used, not owned; either may be null (the button then draws nothing).
    BitmapButton(BitmapImage* normalImage, BitmapImage* focusImage);

    // Makes the button: an owner-drawn child that is a tab stop; the text carries its
    // mnemonic only. Destroyed with this object.
    bool create(HWND parent, const char* text, int id, const RECT& rect, bool visible);
    // Or takes over a button the caller created with BS_OWNERDRAW (fw::Window::attach).

    // How much of each picture the button shows, in the picture's own pixels, when that is not
    // the button's size: the button is then drawn scaled (another DPI, a sharper picture).
    void setPictures(BitmapImage* normal, BitmapImage* focus) {
        normalImage_ = normal;
        focusImage_ = focus;
    }
    void showPictureArea(SIZE normal, SIZE focus) {
        shownNormal_ = normal;
        shownFocus_ = focus;
    }

    void DrawItem(const DRAWITEMSTRUCT& draw);

protected:
    // Erased, by drawing nothing; a standard button erases as the system does.
    bool onEraseBackground(HDC) override { return !standard_; }
    bool onReflectedDrawItem(const DRAWITEMSTRUCT& draw) override;

private:
    BitmapImage* normalImage_;
    BitmapImage* focusImage_;
    bool standard_ = false;
    SIZE shownNormal_{0, 0}, shownFocus_{0, 0};
};
