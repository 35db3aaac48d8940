#include "skin/region_from_bitmap.h"

#include <cstring>
#include <vector>

#include "rules/region_runs.h"
#include "skin/bitmap_image.h"

namespace {

// Builds a region from one batch; null when the system refuses.
HRGN regionOfBatch(const RectBatch& batch) {
    const DWORD count = static_cast<DWORD>(batch.size());
    std::vector<std::uint8_t> block(sizeof(RGNDATAHEADER) + count * sizeof(RECT));
    RGNDATAHEADER header{};
    header.dwSize = sizeof(RGNDATAHEADER);
    header.iType = RDH_RECTANGLES;
    header.nCount = count;
    header.nRgnSize = count * sizeof(RECT);
    const RegionRect& b = batch.bounds();
    header.rcBound = RECT{b.left, b.top, b.right, b.bottom};
    std::memcpy(block.data(), &header, sizeof header);
    RECT* rects = reinterpret_cast<RECT*>(block.data() + sizeof header);
    for (DWORD i = 0; i < count; ++i) {
        const RegionRect& r = batch.rects()[i];
        rects[i] = RECT{r.left, r.top, r.right, r.bottom};
    }
    return ::ExtCreateRegion(nullptr, static_cast<DWORD>(block.size()),
                             reinterpret_cast<const RGNDATA*>(block.data()));
}

}  // namespace

// Draws the w x h pixels of source into a 32-bit working picture of the target's size and
// finds its runs. A picture drawn larger or smaller (a screen of another scale) is smoothed,
// and the region is cut from what the smoothing gives.
static fw::Region regionFromDc(HDC source, int sw, int sh, const RECT& target,
                               std::uint32_t keyColour, int mode) {
    const int w = target.right - target.left, h = target.bottom - target.top;
    if (w <= 0 || h <= 0) return {};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;  // bottom row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    fw::Bitmap copy(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!copy || !bits) return {};
    fw::MemoryDc work(::CreateCompatibleDC(source));
    if (!work) return {};
    {
        fw::Selection into(work.get(), copy.get());
        if (w != sw || h != sh) {
            ::SetStretchBltMode(work.get(), HALFTONE);
            ::SetBrushOrgEx(work.get(), 0, 0, nullptr);
        }
        ::StretchBlt(work.get(), 0, 0, w, h, source, 0, 0, sw, sh, SRCCOPY);
    }
    ::GdiFlush();
    BITMAP dib{};
    ::GetObjectA(copy.get(), sizeof dib, &dib);
    const std::size_t stride = (static_cast<std::size_t>(dib.bmWidthBytes) + 3) & ~std::size_t{3};

    fw::Region result;
    const PixelView view{static_cast<const std::uint8_t*>(bits), w, h, stride, true};
    findRegionRuns(view, keyColour, mode != 0, [&](const RectBatch& batch) {
        fw::Region part(regionOfBatch(batch));
        if (!part) return;  // a batch the system refuses is skipped
        if (!result)
            result = std::move(part);
        else
            ::CombineRgn(result.get(), result.get(), part.get(), RGN_OR);
    });
    return result;
}

fw::Region regionFromBitmap(HBITMAP bitmap, const RECT& target, std::uint32_t keyColour, int mode) {
    if (!bitmap) return {};
    fw::MemoryDc source(::CreateCompatibleDC(nullptr));
    if (!source) return {};
    BITMAP bm{};
    if (!::GetObjectA(bitmap, sizeof bm, &bm)) return {};
    fw::Selection from(source.get(), bitmap);
    return regionFromDc(source.get(), bm.bmWidth, bm.bmHeight, target, keyColour, mode);
}

fw::Region regionFromBitmap(const BitmapImage* image, const RECT& target, std::uint32_t keyColour,
                            int mode) {
    if (!image || !image->dc()) return {};
    return regionFromDc(image->dc(), image->width(), image->height(), target, keyColour, mode);
}
