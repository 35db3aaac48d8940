#include "rules/progress_layout.h"

#include "rules/dpi_scale.h"

namespace {

// a * b / c rounded half away from zero, as Windows' MulDiv (c > 0).
int mulDiv(int a, int b, int c) {
    const long long p = static_cast<long long>(a) * b;
    return static_cast<int>(p >= 0 ? (p + c / 2) / c : -((-p + c / 2) / c));
}

// The numbers of IDD_PROGRESS in res/Setup.rc.
constexpr int CLIENT_CX = 186, CLIENT_CY = 77;
struct Item {
    int x, y, cx, cy;
};
constexpr Item TEXT{4, 3, 177, 23}, BAR{3, 32, 179, 18}, CANCEL{65, 56, 50, 14};

WizRect place(const Item& i, DialogBaseUnits base, int dpi) {
    return scaleToDpi(dialogUnitsToPixels(i.x, i.y, i.cx, i.cy, base), dpi);
}

}  // namespace

WizRect dialogUnitsToPixels(int x, int y, int cx, int cy, DialogBaseUnits base) {
    const int left = mulDiv(x, base.x, 4), top = mulDiv(y, base.y, 8);
    return {left, top, left + mulDiv(cx, base.x, 4), top + mulDiv(cy, base.y, 8)};
}

ProgressLayout progressLayout(DialogBaseUnits base96, int dpi) {
    ProgressLayout l;
    l.clientWidth = scaleToDpi(mulDiv(CLIENT_CX, base96.x, 4), dpi);
    l.clientHeight = scaleToDpi(mulDiv(CLIENT_CY, base96.y, 8), dpi);
    l.text = place(TEXT, base96, dpi);
    l.bar = place(BAR, base96, dpi);
    l.cancel = place(CANCEL, base96, dpi);
    l.fontHeight = scaleToDpi(PROGRESS_FONT_HEIGHT_96, dpi);
    return l;
}
