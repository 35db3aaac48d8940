#pragma once
// The shaped splash window of the start-up: cut to the non-white pixels of "slogo.bmp", painted
// in the splash colour above row 360 and black below, shown for at least 500 ms while the
// loader thread works beside it. Ends with 1 when loading succeeded, 3 when it failed. Its
// size, outline and band are scaled to the screen's DPI; in high contrast the shape is filled
// and outlined in the system's colours.
#include <windows.h>

#include <functional>
#include <string>

#include "fw/dialog.h"
#include "fw/gdi.h"
#include "fw/thread.h"
#include "fw/timer.h"
#include "rules/splash_close.h"

inline constexpr UINT_PTR SPLASH_TIMER_ID = 123;
inline constexpr UINT SPLASH_MIN_MS = 500;
inline constexpr int SPLASH_BAND_HEIGHT = 360;
inline constexpr int SPLASH_FAILED = 3;  // the loader's failure command and end value

class SplashDialog : public fw::Dialog {
public:
    // picturePath: skin picture 6; colour: red + green * 256 + blue * 65536; title: the window
    // text. loader runs on the loader thread and returns 1 (success) or 3 (failure); any
    // other value, or a throw, counts as failure.
    SplashDialog(std::string picturePath, COLORREF colour, std::string title,
                 std::function<int()> loader);
    ~SplashDialog() override;

protected:
    bool onCreate(const CREATESTRUCTA& create) override;
    void onDestroy() override;
    bool onInitDialog() override;
    bool onEraseBackground(HDC dc) override;
    bool onPaint() override;
    bool onLButtonUp(POINT, WPARAM) override;
    void onTimer(UINT_PTR id) override;
    bool onCommand(int id, int code, HWND control) override;
    void onOk() override;
    void onCancel() override;
    bool onDpiChanged(int dpi, const RECT& suggested) override;

private:
    void shapeFor(int dpi);
    void minimumTimeOver();
    void closeIfAllowed(int command);

    std::string picturePath_;
    COLORREF colour_;
    std::string title_;
    std::function<int()> loader_;
    fw::Bitmap picture_;
    BITMAP pictureInfo_{};
    RECT area_{};
    int bandHeight_ = SPLASH_BAND_HEIGHT;
    fw::Brush background_;
    fw::Timer timer_;
    SplashClosingRule rule_;
    fw::Thread thread_;
};
