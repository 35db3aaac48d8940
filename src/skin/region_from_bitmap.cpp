#include "skin/region_from_bitmap.h"

#include <cstring>
#include <vector>

#include "skin/bitmap_image.h"
#include "rules/region_runs.h"

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

// Copies w x h pixels of source into a 32-bit working picture and finds its runs.
static skin::GdiObject regionFromDc(HDC source, int w, int h, const RECT& target,
                                    std::uint32_t keyColour, int mode) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;  // bottom row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    skin::GdiObject copy(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!copy || !bits) return {};
    skin::MemoryDc work(::CreateCompatibleDC(source));
    if (!work) return {};
    {
        skin::Selection into(work.get(), copy.get());
        ::StretchBlt(work.get(), 0, 0, target.right - target.left, target.bottom - target.top,
                     source, 0, 0, w, h, SRCCOPY);
    }
    ::GdiFlush();
    BITMAP dib{};
    ::GetObjectA(copy.get(), sizeof dib, &dib);
    const std::size_t stride = (static_cast<std::size_t>(dib.bmWidthBytes) + 3) & ~std::size_t{3};

    skin::GdiObject result;
    const PixelView view{static_cast<const std::uint8_t*>(bits), w, h, stride, true};
    findRegionRuns(view, keyColour, mode != 0, [&](const RectBatch& batch) {
        skin::GdiObject part(regionOfBatch(batch));
        if (!part) return;  // a batch the system refuses is skipped
        if (!result)
            result = std::move(part);
        else
            ::CombineRgn(static_cast<HRGN>(result.get()), static_cast<HRGN>(result.get()),
                         static_cast<HRGN>(part.get()), RGN_OR);
    });
    return result;
}

skin::GdiObject regionFromBitmap(HBITMAP bitmap, const RECT& target, std::uint32_t keyColour,
                                 int mode) {
    if (!bitmap) return {};
    skin::MemoryDc source(::CreateCompatibleDC(nullptr));
    if (!source) return {};
    BITMAP bm{};
    if (!::GetObjectA(bitmap, sizeof bm, &bm)) return {};
    skin::Selection from(source.get(), bitmap);
    return regionFromDc(source.get(), bm.bmWidth, bm.bmHeight, target, keyColour, mode);
}

skin::GdiObject regionFromBitmap(const BitmapImage* image, const RECT& target,
                                 std::uint32_t keyColour, int mode) {
    if (!image || !image->dc()) return {};
    return regionFromDc(image->dc(), image->width(), image->height(), target, keyColour, mode);
}
