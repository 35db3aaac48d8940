#include "skin/bitmap_image.h"
#include "platform/win32/wide_text_win.h"

bool BitmapImage::attach(HBITMAP loaded) {
    fw::Bitmap owned(loaded);
    if (!::GetObjectA(loaded, sizeof info_, &info_)) return false;
    fw::MemoryDc dc(::CreateCompatibleDC(nullptr));
    if (!dc) return false;
    selection_.emplace(dc.get(), loaded);
    bitmap_ = std::move(owned);
    memoryDC_ = std::move(dc);
    return true;
}

bool BitmapImage::loadFromFile(const std::string& path) {
    if (!bitmap_) {
        HANDLE h = ::LoadImageW(nullptr, platform::win32::wide(path).c_str(), IMAGE_BITMAP, 0, 0,
                                LR_LOADFROMFILE);
        if (!h || !attach(static_cast<HBITMAP>(h))) return false;
    }
    fromResources_ = 0;
    return true;
}

bool BitmapImage::loadFromResource(const std::string& name, HMODULE module) {
    if (!bitmap_) {
        HBITMAP h = ::LoadBitmapA(module ? module : ::GetModuleHandleA(nullptr), name.c_str());
        if (!h || !attach(h)) return false;
    }
    fromResources_ = 1;
    return true;
}

void drawPicture(HDC dc, const BitmapImage* picture, const RECT& to, int sourceWidth,
                 int sourceHeight) {
    if (!picture || !picture->dc() || sourceWidth <= 0 || sourceHeight <= 0) return;
    const int w = to.right - to.left, h = to.bottom - to.top;
    if (w <= 0 || h <= 0) return;
    if (w == sourceWidth && h == sourceHeight) {
        ::BitBlt(dc, to.left, to.top, w, h, picture->dc(), 0, 0, SRCCOPY);
        return;
    }
    // HALFTONE moves the brush origin, which has to be set again after choosing it.
    const int previous = ::SetStretchBltMode(dc, HALFTONE);
    POINT origin{};
    ::SetBrushOrgEx(dc, 0, 0, &origin);
    ::StretchBlt(dc, to.left, to.top, w, h, picture->dc(), 0, 0, sourceWidth, sourceHeight,
                 SRCCOPY);
    ::SetBrushOrgEx(dc, origin.x, origin.y, nullptr);
    if (previous) ::SetStretchBltMode(dc, previous);
}

std::unique_ptr<SkinBitmap> GdiSkinLoader::loadFromFile(const std::string& path) {
    auto image = std::make_unique<BitmapImage>();
    if (!image->loadFromFile(path)) return nullptr;
    return image;
}

std::unique_ptr<SkinBitmap> GdiSkinLoader::loadFromResource(const std::string& name) {
    auto image = std::make_unique<BitmapImage>();
    if (!image->loadFromResource(name)) return nullptr;
    return image;
}
