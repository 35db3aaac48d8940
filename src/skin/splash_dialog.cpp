#include "skin/splash_dialog.h"

#include <algorithm>

#include "fw/dpi.h"
#include "platform/win32/wide_text_win.h"
#include "resource.h"
#include "rules/dpi_scale.h"
#include "skin/region_from_bitmap.h"
#include "skin/system_look.h"

namespace {
constexpr std::uint32_t KEY_WHITE = 0xFFFFFF;
}

SplashDialog::SplashDialog(std::string picturePath, COLORREF colour, std::string title,
                           std::function<int()> loader)
    : Dialog(IDD_SPLASH),
      picturePath_(std::move(picturePath)),
      colour_(colour),
      title_(std::move(title)),
      loader_(std::move(loader)) {}

// The loader has posted its last message before the dialog could end; waiting for its
// thread only lets it return.
SplashDialog::~SplashDialog() = default;

bool SplashDialog::onCreate(const CREATESTRUCTA& create) {
    picture_.reset(static_cast<HBITMAP>(
        ::LoadImageW(create.hInstance, platform::win32::wide(picturePath_).c_str(), IMAGE_BITMAP, 0,
                     0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    if (picture_ && ::GetObjectA(picture_.get(), sizeof pictureInfo_, &pictureInfo_)) {
        shapeFor(fw::windowDpi(hwnd()));
    } else {
        // Without its picture the window keeps the size of its template, unshaped.
        picture_.reset();
        ::GetWindowRect(hwnd(), &area_);
        ::OffsetRect(&area_, -area_.left, -area_.top);
        bandHeight_ = scaleToDpi(SPLASH_BAND_HEIGHT, fw::windowDpi(hwnd()));
    }
    timer_.start(hwnd(), SPLASH_TIMER_ID, SPLASH_MIN_MS);
    background_.reset(::CreateSolidBrush(colour_));
    return true;
}

// The picture's size and outline, and the band's height, are 96-DPI pixels: at another scale
// the outline is cut from the picture drawn at the window's size.
void SplashDialog::shapeFor(int dpi) {
    area_ =
        RECT{0, 0, scaleToDpi(pictureInfo_.bmWidth, dpi), scaleToDpi(pictureInfo_.bmHeight, dpi)};
    bandHeight_ = scaleToDpi(SPLASH_BAND_HEIGHT, dpi);
    fw::Region region = regionFromBitmap(picture_.get(), area_, KEY_WHITE, 1);
    if (region && ::SetWindowRgn(hwnd(), region.get(), TRUE))
        region.release();  // the window owns it now
}

bool SplashDialog::onDpiChanged(int dpi, const RECT& suggested) {
    if (!picture_) return false;
    shapeFor(dpi);
    ::SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, area_.right, area_.bottom,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

void SplashDialog::onDestroy() {
    timer_.kill();
    picture_.reset();
}

bool SplashDialog::onInitDialog() {
    platform::win32::setWindowText(hwnd(), title_);
    const int width = area_.right - area_.left, height = area_.bottom - area_.top;
    ::SetWindowPos(hwnd(), nullptr, (::GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                   (::GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height,
                   SWP_NOZORDER | SWP_SHOWWINDOW);
    HWND self = hwnd();
    bool started = thread_.start([this, self]() -> DWORD {
        // Without a final command the splash would stay for ever: whatever else the loader
        // does, a throw included, is a failure.
        int command = SPLASH_FAILED;
        try {
            if (loader_() == IDOK) command = IDOK;
        } catch (...) {
        }
        rule_.loaderFinished(command);
        // The last thing this thread does: the dialog may be gone right after it.
        ::PostMessageA(self, WM_COMMAND, static_cast<WPARAM>(command), 0);
        return 0;
    });
    if (!started) {
        rule_.loaderFinished(SPLASH_FAILED);
        ::PostMessageA(self, WM_COMMAND, SPLASH_FAILED, 0);
    }
    return true;
}

bool SplashDialog::onEraseBackground(HDC dc) {
    const int width = area_.right - area_.left, height = area_.bottom - area_.top;
    const ElementLook band = currentLook(WindowElement::SplashBand);
    const ElementLook foot = currentLook(WindowElement::SplashFoot);
    {
        fw::Selection brush(dc, band.system ? systemBrush(band.fill) : background_.get());
        ::PatBlt(dc, 0, 0, width, bandHeight_, PATCOPY);
    }
    if (height > bandHeight_) {
        const int footHeight = height - bandHeight_;
        if (foot.system) {
            fw::Selection brush(dc, systemBrush(foot.fill));
            ::PatBlt(dc, 0, bandHeight_, width, footHeight, PATCOPY);
        } else {
            ::PatBlt(dc, 0, bandHeight_, width, footHeight, BLACKNESS);
        }
    }
    const ElementLook outline = currentLook(WindowElement::SplashOutline);
    fw::Region shape(::CreateRectRgn(0, 0, 0, 0));
    if (outline.system && shape && ::GetWindowRgn(hwnd(), shape.get()) != ERROR) {
        // The region is the window's; the drawing is in the client area, inside the frame.
        RECT window;
        POINT client{0, 0};
        ::GetWindowRect(hwnd(), &window);
        ::ClientToScreen(hwnd(), &client);
        ::OffsetRgn(shape.get(), window.left - client.x, window.top - client.y);
        const int line = std::max(1, scaleToDpi(2, fw::windowDpi(hwnd())));
        ::FrameRgn(dc, shape.get(), systemBrush(outline.ink), line, line);
    }
    return true;
}

bool SplashDialog::onPaint() {
    { fw::PaintScope paint(hwnd()); }
    return false;
}

void SplashDialog::minimumTimeOver() {
    timer_.kill();
    rule_.minimumTimeOver();
    ::PostMessageA(hwnd(), WM_COMMAND, IDOK, 0);
}

bool SplashDialog::onLButtonUp(POINT, WPARAM) {
    minimumTimeOver();
    return false;
}

void SplashDialog::onTimer(UINT_PTR) {
    minimumTimeOver();
}

bool SplashDialog::onCommand(int id, int code, HWND control) {
    if (id == SPLASH_FAILED) {
        closeIfAllowed(SPLASH_FAILED);
        return true;
    }
    return Dialog::onCommand(id, code, control);
}

void SplashDialog::closeIfAllowed(int command) {
    if (int result = rule_.onCommand(command)) endDialog(result);
}

void SplashDialog::onOk() {
    closeIfAllowed(IDOK);
}

void SplashDialog::onCancel() {
    closeIfAllowed(IDCANCEL);
}
