#include "rules/dpi_scale.h"

#include "config/setup_config.h"

namespace {
// Division rounding toward minus infinity, so that negative numbers round as positive ones.
long long floorDiv(long long n, long long d) {
    long long q = n / d;
    return (n % d != 0 && n < 0) ? q - 1 : q;
}
}  // namespace

int scaleToDpi(int value, int dpi) {
    if (dpi == BASE_DPI) return value;
    return static_cast<int>(floorDiv(static_cast<long long>(value) * dpi + BASE_DPI / 2, BASE_DPI));
}

WizRect scaleToDpi(const WizRect& r, int dpi) {
    return {scaleToDpi(r.left, dpi), scaleToDpi(r.top, dpi), scaleToDpi(r.right, dpi),
            scaleToDpi(r.bottom, dpi)};
}

WizardLayout scaleToDpi(const WizardLayout& l, int dpi) {
    return {scaleToDpi(l.topText, dpi),  scaleToDpi(l.content, dpi), scaleToDpi(l.picture, dpi),
            scaleToDpi(l.sideText, dpi), scaleToDpi(l.back, dpi),    scaleToDpi(l.next, dpi),
            scaleToDpi(l.cancel, dpi)};
}

bool useSharpPicture(int dpi, int normalWidth, int normalHeight, int sharpWidth, int sharpHeight) {
    return dpi >= SHARP_PICTURE_DPI && normalWidth > 0 && normalHeight > 0 &&
           sharpWidth == 2 * normalWidth && sharpHeight == 2 * normalHeight;
}

SkinBitmap* skinForDpi(const SetupConfig& config, int skinIndex, int dpi) {
    SkinBitmap* normal = config.getBitmap(skinIndex);
    SkinBitmap* sharp = config.getSharpBitmap(skinIndex);
    if (normal && sharp &&
        useSharpPicture(dpi, normal->width(), normal->height(), sharp->width(), sharp->height()))
        return sharp;
    return normal;
}
