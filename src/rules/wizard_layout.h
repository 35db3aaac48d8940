#pragma once
// The window-free decisions of the wizard pages: where everything stands, the size of a top
// text that has to shrink, where the rows of choices go and which navigation button a
// page's marks show.
#include <cstdint>

#include "rules/wizard_types.h"

struct WizRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
    bool operator==(const WizRect&) const = default;
};

// Sizes of the skin pictures that the layout depends on.
struct WizardSkinSizes {
    int backgroundWidth = 0;  // "dbg.bmp"
    int backWidth = 0, backHeight = 0;
    int nextWidth = 0, nextHeight = 0;
    int cancelWidth = 0, cancelHeight = 0;
};

struct WizardLayout {
    WizRect topText, content, picture, sideText;
    WizRect back, next, cancel;  // empty when the button is not in the flags
};

inline constexpr int CAPTION_BAND_HEIGHT = 20;
// The caption's text in the band.
inline constexpr int CAPTION_TEXT_LEFT = 40;
inline constexpr int CAPTION_TEXT_TOP = 2;
// The brand picture ends here, short of the page's right edge.
inline constexpr int BRAND_RIGHT = 594;
// The black line left of the panel runs from PANEL_LINE_TOP to PANEL_LINE_GAP above the bottom.
inline constexpr int PANEL_LINE_TOP = 30;
inline constexpr int PANEL_LINE_GAP = 10;
// The side picture: its place, and how much of the bar picture is copied into it.
inline constexpr int SIDE_PICTURE_LEFT = 15;
inline constexpr int SIDE_PICTURE_TOP = 30;
inline constexpr int SIDE_PICTURE_WIDTH = 160;
inline constexpr int SIDE_PICTURE_HEIGHT = 320;
inline constexpr int BOTTOM_TEXT_HEIGHT = 51;
inline constexpr int BODY_FONT_TENTHS = 100;  // Arial 10 points
// The list pages: the check list stops this far above contentRect's bottom; the one column is
// this much narrower than the list.
inline constexpr int CHECK_LIST_BOTTOM_GAP = 10;
inline constexpr int LIST_COLUMN_MARGIN = 20;

// Client rectangles of a WIZARD_WIDTH x WIZARD_HEIGHT page; a button's rectangle only when its
// bit is set.
WizardLayout computeWizardLayout(const WizardSkinSizes& skin, int buttonFlags);

// Size in tenths of a point of a top text measured h pixels high in the body font, starting at
// y = top and not to pass limit: the body font's 10 points when it fits, else
// 10 * (limit - top) / h points truncated to tenths (never below a tenth of a point: a limit
// at or above the top would otherwise ask for no font at all).
int fittedTopTextTenths(int top, int limit, int measuredHeight);
// The logical height of a font of that many tenths of a point at the given dots per inch, as
// CreateFont wants it (negative: character height).
int pointFontHeight(int tenths, int dotsPerInch);

// First row of a block of count rows, centred in content as if the rows were lineHeight + 2
// apart (halving toward zero). The gaps are 96-DPI pixels, scaled to dpi; content and
// lineHeight are the window's own pixels.
int choiceBlockTop(const WizRect& content, int count, int lineHeight, int dpi = 96);
// Row i of that block: the rows are placed lineHeight + 8 apart, each lineHeight high.
WizRect choiceRowRect(const WizRect& content, int blockTop, int index, int lineHeight,
                      int dpi = 96);

// The go-on button of a check page: Next when the saved flags hold it, else Finish, else 0.
int goOnButton(int savedFlags);
// buttonFlags after the check page's initialisation (a page with nothing marked hides its
// go-on button; allowEmpty is not consulted there).
int initialCheckFlags(int buttonFlags, int savedFlags, bool anyMarked);
// buttonFlags after a click on a box: the go-on button is available when something is marked
// or the page allows nothing.
int checkClickFlags(int buttonFlags, int savedFlags, bool anyMarked, bool allowEmpty);
// Which button the flags show in the Next place: BUTTON_FINISH, BUTTON_NEXT or 0.
int visibleGoOnButton(int buttonFlags);

// Radio pages: the option chosen at the start is the first marked one, else 0.
int initialRadioChoice(const std::int32_t* marks, int count);
// Moves the choice to row: the old choice's mark is cleared, the new one set.
void moveRadioChoice(std::int32_t* marks, int count, int& selected, int row);

// List-view selection changes of the check-list page, as the list reports them (state bits of
// the list: ITEM_SELECTED).
inline constexpr unsigned ITEM_SELECTED = 0x0002;
// A row that gains the selected bit is marked, one that loses it unmarked (row -1: all rows
// unmarked; selecting all rows at once is not a change the user makes).
void applyCheckItemChange(std::int32_t* marks, int count, int row, unsigned oldState,
                          unsigned newState);
// Rows from..to, both inclusive.
void applyCheckRangeChange(std::int32_t* marks, int count, int from, int to, unsigned oldState,
                           unsigned newState);
// True when any of the first count marks is 1.
bool anyMarked(const std::int32_t* marks, int count);
