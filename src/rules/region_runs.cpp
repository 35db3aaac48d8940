#include "rules/region_runs.h"

#include <algorithm>
#include <limits>

namespace {
constexpr RegionRect EMPTY_BOUNDS{std::numeric_limits<std::int32_t>::max(),
                                  std::numeric_limits<std::int32_t>::max(), 0, 0};
}

RectBatch::RectBatch() : bounds_(EMPTY_BOUNDS) {
    rects_.reserve(REGION_BATCH_GROWTH);
}

void RectBatch::add(const RegionRect& r) {
    if (rects_.size() == rects_.capacity()) rects_.reserve(rects_.capacity() + REGION_BATCH_GROWTH);
    rects_.push_back(r);
    bounds_.left = std::min(bounds_.left, r.left);
    bounds_.top = std::min(bounds_.top, r.top);
    bounds_.right = std::max(bounds_.right, r.right);
    bounds_.bottom = std::max(bounds_.bottom, r.bottom);
}

void RectBatch::clear() {
    rects_.clear();
    bounds_ = EMPTY_BOUNDS;
}

std::vector<RegionRect> regionRuns(const PixelView& view, std::uint32_t keyColour,
                                   bool keepNonKey) {
    std::vector<RegionRect> all;
    findRegionRuns(view, keyColour, keepNonKey, [&](const RectBatch& b) {
        all.insert(all.end(), b.rects().begin(), b.rects().end());
    });
    return all;
}
