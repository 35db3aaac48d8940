#include "rules/wizard_layout.h"

#include <algorithm>

#include "rules/dpi_scale.h"

WizardLayout computeWizardLayout(const WizardSkinSizes& s, int flags) {
    WizardLayout l;
    int textLeft = 610 - s.backgroundWidth;
    int bottom = 380 - s.cancelHeight;
    l.topText = {textLeft, 30, 590, bottom};
    l.content = {textLeft, 81, 580, bottom};
    l.picture = {SIDE_PICTURE_LEFT, SIDE_PICTURE_TOP, SIDE_PICTURE_LEFT + SIDE_PICTURE_WIDTH,
                 SIDE_PICTURE_TOP + SIDE_PICTURE_HEIGHT};
    l.sideText = {SIDE_PICTURE_LEFT, 360, SIDE_PICTURE_LEFT + SIDE_PICTURE_WIDTH, 400};
    // Three slots side by side, the last ending at WIZARD_WIDTH; every button's top is level with
    // Back's.
    int slot = s.backWidth + 30;
    int x0 = 510 - 3 * s.backWidth;
    int top = 390 - s.backHeight;
    if (flags & BUTTON_BACK) {
        int left = x0 + (slot - s.backWidth) / 2;
        l.back = {left, top, left + s.backWidth, top + s.backHeight};
    }
    if (flags & (BUTTON_NEXT | BUTTON_FINISH)) {
        int left = x0 + slot + (slot - s.nextWidth) / 2;
        l.next = {left, top, left + s.nextWidth, top + s.nextHeight};
    }
    if (flags & BUTTON_CANCEL) {
        int left = x0 + 2 * slot + (slot - s.cancelWidth) / 2;
        l.cancel = {left, top, left + s.cancelWidth, top + s.cancelHeight};
    }
    return l;
}

int fittedTopTextTenths(int top, int limit, int h) {
    if (h <= 0 || top + h <= limit) return BODY_FONT_TENTHS;
    double points = 10.0 * (limit - top) / h;
    // Truncated to tenths; the small offset keeps exact quotients such as 8.5 from landing
    // one tenth lower through rounding of the division.
    int tenths = static_cast<int>(points * 10.0 + 1e-9);
    return std::max(tenths, 1);
}

int pointFontHeight(int tenths, int dotsPerInch) {
    return -(dotsPerInch * tenths / 720);
}

int choiceBlockTop(const WizRect& content, int count, int lineHeight, int dpi) {
    return content.top + (content.height() - count * (lineHeight + scaleToDpi(2, dpi))) / 2;
}

WizRect choiceRowRect(const WizRect& content, int blockTop, int index, int lineHeight, int dpi) {
    int y = blockTop + index * (lineHeight + scaleToDpi(8, dpi));
    return {content.left, y, content.right, y + lineHeight};
}

int goOnButton(int savedFlags) {
    if (savedFlags & BUTTON_NEXT) return BUTTON_NEXT;
    if (savedFlags & BUTTON_FINISH) return BUTTON_FINISH;
    return 0;
}

int initialCheckFlags(int flags, int savedFlags, bool marked) {
    int button = goOnButton(savedFlags);
    if (button && !marked) flags &= ~button;
    return flags;
}

int checkClickFlags(int flags, int savedFlags, bool marked, bool allowEmpty) {
    int button = goOnButton(savedFlags);
    if (!button) return flags;
    return (marked || allowEmpty) ? (flags | button) : (flags & ~button);
}

int visibleGoOnButton(int flags) {
    if (flags & BUTTON_FINISH) return BUTTON_FINISH;
    if (flags & BUTTON_NEXT) return BUTTON_NEXT;
    return 0;
}

int initialRadioChoice(const std::int32_t* marks, int count) {
    for (int i = 0; i < count; ++i)
        if (marks[i] == 1) return i;
    return 0;
}

void moveRadioChoice(std::int32_t* marks, int count, int& selected, int row) {
    if (selected >= 0 && selected < count) marks[selected] = 0;
    selected = row;
    if (row >= 0 && row < count) marks[row] = 1;
}

namespace {
// A row the user takes out of the selection usually keeps the focus, so its new state is not
// empty: losing the selected bit is what unmarks it.
bool lostSelection(unsigned oldState, unsigned newState) {
    return (oldState & ITEM_SELECTED) && !(newState & ITEM_SELECTED);
}
}  // namespace

void applyCheckItemChange(std::int32_t* marks, int count, int row, unsigned oldState,
                          unsigned newState) {
    if ((newState & ITEM_SELECTED) && row >= 0) {
        if (row < count) marks[row] = 1;
    } else if (lostSelection(oldState, newState)) {
        if (row == -1)
            std::fill(marks, marks + count, 0);
        else if (row >= 0 && row < count)
            marks[row] = 0;
    }
}

void applyCheckRangeChange(std::int32_t* marks, int count, int from, int to, unsigned oldState,
                           unsigned newState) {
    from = std::max(from, 0);
    to = std::min(to, count - 1);
    if (from > to) return;
    if (newState & ITEM_SELECTED)
        std::fill(marks + from, marks + to + 1, 1);
    else if (lostSelection(oldState, newState))
        std::fill(marks + from, marks + to + 1, 0);
}

bool anyMarked(const std::int32_t* marks, int count) {
    return std::any_of(marks, marks + count, [](std::int32_t m) { return m == 1; });
}
