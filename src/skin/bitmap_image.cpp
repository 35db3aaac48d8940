#include "skin/bitmap_image.h"
#include "platform/win32/wide_text_win.h"

namespace {
// Stretches with HALFTONE, whose brush origin has to be set again after choosing it.
void halftoneStretch(HDC to, int x, int y, int w, int h, HDC from, int sw, int sh) {
    const int previous = ::SetStretchBltMode(to, HALFTONE);
    POINT origin{};
    ::SetBrushOrgEx(to, 0, 0, &origin);
    ::StretchBlt(to, x, y, w, h, from, 0, 0, sw, sh, SRCCOPY);
    ::SetBrushOrgEx(to, origin.x, origin.y, nullptr);
    if (previous) ::SetStretchBltMode(to, previous);
}
// The sizes a picture is kept at: a few windows' DPIs.
constexpr std::size_t MAX_SCALED = 8;
}  // namespace

struct BitmapImage::Scaled {
    int w, h, sw, sh;
    fw::Bitmap bitmap;
    fw::MemoryDc dc;
    std::optional<fw::Selection> selection;  // ends before the bitmap and the surface
};

HDC BitmapImage::scaledDc(int w, int h, int sw, int sh) const {
    for (const auto& s : scaled_)
        if (s->w == w && s->h == h && s->sw == sw && s->sh == sh) return s->dc.get();
    if (!dc() || w <= 0 || h <= 0) return nullptr;
    auto s = std::make_shared<Scaled>();
    s->w = w, s->h = h, s->sw = sw, s->sh = sh;
    s->dc.reset(::CreateCompatibleDC(dc()));
    s->bitmap.reset(::CreateCompatibleBitmap(dc(), w, h));
    if (!s->dc || !s->bitmap) return nullptr;
    s->selection.emplace(s->dc.get(), s->bitmap.get());
    halftoneStretch(s->dc.get(), 0, 0, w, h, dc(), sw, sh);
    if (scaled_.size() >= MAX_SCALED) scaled_.erase(scaled_.begin());
    scaled_.push_back(s);
    return s->dc.get();
}

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
    if (HDC scaled = picture->scaledDc(w, h, sourceWidth, sourceHeight))
        ::BitBlt(dc, to.left, to.top, w, h, scaled, 0, 0, SRCCOPY);
    else
        halftoneStretch(dc, to.left, to.top, w, h, picture->dc(), sourceWidth, sourceHeight);
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
