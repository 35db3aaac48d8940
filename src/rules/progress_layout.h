#pragma once
// Where the progress window's controls stand at any DPI. Its template's dialog units are
// turned into pixels of a 96-DPI screen as the dialog manager turns them (by the base units
// of its 8-point font there), and those pixels are scaled to the window's DPI by the one rule
// of rules/dpi_scale.h, so that the window at 96 DPI is the template's and at every other
// scale its exact enlargement.
#include "rules/wizard_layout.h"

// The dialog font's average character width and height, in pixels.
struct DialogBaseUnits {
    int x = 0, y = 0;
};

// The template's font: 8 points, that is 11 pixels high on a 96-DPI screen.
inline constexpr int PROGRESS_FONT_HEIGHT_96 = 11;

struct ProgressLayout {
    int clientWidth = 0, clientHeight = 0;
    WizRect text, bar, cancel;
    int fontHeight = 0;  // pixels, character height without internal leading
    bool operator==(const ProgressLayout&) const = default;
};

// A control of a template at (x, y), cx by cy dialog units: position and size are each
// converted (rounded to the nearest pixel), as the dialog manager does.
WizRect dialogUnitsToPixels(int x, int y, int cx, int cy, DialogBaseUnits base);
// The layout at dpi, from the base units the font has at 96 DPI.
ProgressLayout progressLayout(DialogBaseUnits base96, int dpi);
