#pragma once
// Every number of the windows' layouts is in pixels of a 96-DPI screen; a window turns it into
// its own pixels here, with one rounding for all of them (to the nearest pixel, a half
// upward), so that rectangles that touch at 96 DPI touch at every scale.
#include "rules/wizard_layout.h"

class SetupConfig;
class SkinBitmap;

inline constexpr int BASE_DPI = 96;
// From this many dots per inch on (150 %) a skin picture of twice the size is drawn instead.
inline constexpr int SHARP_PICTURE_DPI = 144;

int scaleToDpi(int value, int dpi);
// Each edge scaled on its own: neighbours stay neighbours.
WizRect scaleToDpi(const WizRect& rect, int dpi);
WizardLayout scaleToDpi(const WizardLayout& layout, int dpi);

// Whether a window at dpi draws the sharper picture of a slot: from 150 % on, and only a
// picture exactly twice the size of the normal one (anything else would not fit the layout,
// which the normal picture's size decides).
bool useSharpPicture(int dpi, int normalWidth, int normalHeight, int sharpWidth, int sharpHeight);
// What a window at dpi draws for the configuration's slot: its sharper picture when the rule
// above takes it, else the slot's own picture (null for an empty slot).
SkinBitmap* skinForDpi(const SetupConfig& config, int skinIndex, int dpi);
