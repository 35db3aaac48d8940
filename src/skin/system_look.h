#pragma once
// The looks of rules/high_contrast.h as the windows meet them: whether high contrast is on now
// (fw::highContrast) and the colours of the scheme the user chose.
#include <windows.h>

#include "rules/high_contrast.h"

ElementLook currentLook(WindowElement element);
COLORREF systemColour(SystemColour colour);
// The system's own brush of the colour: never deleted.
HBRUSH systemBrush(SystemColour colour);
// What an element is filled and written with now: the skin's when high contrast is off.
HBRUSH fillOf(WindowElement element, HBRUSH skin);
COLORREF fillColourOf(WindowElement element, COLORREF skin);
COLORREF inkOf(WindowElement element, COLORREF skin);
// Whether the skin's pictures are drawn now.
bool drawsSkinPictures();
