#pragma once
// The window-free half of regionFromBitmap: the rows of inside pixels of a 32-bit picture
// become rectangles one pixel high, handed on in batches of at most 2,000.
#include <cstddef>
#include <cstdint>
#include <vector>

struct RegionRect {
    std::int32_t left, top, right, bottom;
    bool operator==(const RegionRect&) const = default;
};

// A 32-bit picture (bytes blue, green, red, unused per pixel).
struct PixelView {
    const std::uint8_t* bits;
    int width;
    int height;
    std::size_t stride;  // bytes per row, a multiple of 4
    bool bottomUp;       // the first row in memory is the bottom row of the picture
};

inline constexpr std::size_t REGION_BATCH_LIMIT = 2000;
inline constexpr std::size_t REGION_BATCH_GROWTH = 100;

// Rectangles collected for one region, with their bounds, as a RGNDATA block wants them.
class RectBatch {
public:
    RectBatch();
    void add(const RegionRect& r);
    void clear();
    std::size_t size() const { return rects_.size(); }
    std::size_t room() const { return rects_.capacity(); }
    bool full() const { return rects_.size() >= REGION_BATCH_LIMIT; }
    const std::vector<RegionRect>& rects() const { return rects_; }
    // Empty bounds are left = top = INT32_MAX, right = bottom = 0.
    const RegionRect& bounds() const { return bounds_; }

private:
    std::vector<RegionRect> rects_;
    RegionRect bounds_;
};

// keyColour is 0xRRGGBB. With keepNonKey the region is what differs from the key colour
// (the key is the transparent background), else the pixels of exactly the key colour.
// emit is called with each full batch and once more at the end with the rest (maybe empty).
template <typename Emit>
void findRegionRuns(const PixelView& view, std::uint32_t keyColour, bool keepNonKey, Emit&& emit);

// All the rectangles at once, for tests and tools.
std::vector<RegionRect> regionRuns(const PixelView& view, std::uint32_t keyColour, bool keepNonKey);

// ---- implementation

inline bool pixelInside(const std::uint8_t* px, std::uint32_t key, bool keepNonKey) {
    bool isKey =
        px[0] == (key & 0xFF) && px[1] == ((key >> 8) & 0xFF) && px[2] == ((key >> 16) & 0xFF);
    return keepNonKey ? !isKey : isKey;
}

template <typename Emit>
void findRegionRuns(const PixelView& view, std::uint32_t keyColour, bool keepNonKey, Emit&& emit) {
    RectBatch batch;
    for (int y = 0; y < view.height; ++y) {
        int memoryRow = view.bottomUp ? view.height - 1 - y : y;
        const std::uint8_t* row = view.bits + static_cast<std::size_t>(memoryRow) * view.stride;
        int x = 0;
        while (x < view.width) {
            int x0 = x;
            while (x < view.width &&
                   pixelInside(row + 4 * static_cast<std::size_t>(x), keyColour, keepNonKey))
                ++x;
            if (x > x0) {
                batch.add({x0, y, x, y + 1});
                if (batch.full()) {
                    emit(batch);
                    batch.clear();
                }
            }
            ++x;  // past the pixel that ended the run
        }
    }
    emit(batch);
}
