#include "skin/system_look.h"

#include "fw/dpi.h"

namespace {
int colourIndex(SystemColour colour) {
    switch (colour) {
        case SystemColour::Window: return COLOR_WINDOW;
        case SystemColour::WindowText: return COLOR_WINDOWTEXT;
        case SystemColour::ButtonFace: return COLOR_BTNFACE;
        case SystemColour::ButtonText: return COLOR_BTNTEXT;
        case SystemColour::Highlight: return COLOR_HIGHLIGHT;
        case SystemColour::HighlightText: return COLOR_HIGHLIGHTTEXT;
    }
    return COLOR_WINDOW;
}
}  // namespace

ElementLook currentLook(WindowElement element) {
    return lookOf(element, fw::highContrast());
}

COLORREF systemColour(SystemColour colour) {
    return ::GetSysColor(colourIndex(colour));
}

HBRUSH systemBrush(SystemColour colour) {
    return ::GetSysColorBrush(colourIndex(colour));
}

HBRUSH fillOf(WindowElement element, HBRUSH skin) {
    const ElementLook look = currentLook(element);
    return look.system ? systemBrush(look.fill) : skin;
}

COLORREF fillColourOf(WindowElement element, COLORREF skin) {
    const ElementLook look = currentLook(element);
    return look.system ? systemColour(look.fill) : skin;
}

COLORREF inkOf(WindowElement element, COLORREF skin) {
    const ElementLook look = currentLook(element);
    return look.system ? systemColour(look.ink) : skin;
}

bool drawsSkinPictures() {
    return currentLook(WindowElement::SkinPicture).drawn;
}
