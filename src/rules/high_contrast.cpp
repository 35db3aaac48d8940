#include "rules/high_contrast.h"

ElementLook lookOf(WindowElement element, bool highContrast) {
    using C = SystemColour;
    if (!highContrast) return {};
    switch (element) {
        // The band stands out as a title bar does, in the selection's colours.
        case WindowElement::CaptionBand: return {true, C::Highlight, C::HighlightText};
        case WindowElement::PageBody:
        case WindowElement::PageText:
        case WindowElement::ChoiceLabel: return {true, C::Window, C::WindowText};
        case WindowElement::PanelLine: return {true, C::WindowText, C::WindowText};
        case WindowElement::SkinPicture: return {true, C::Window, C::WindowText, false};
        // Standard push buttons, which the system paints in the button colours.
        case WindowElement::NavigationButton: return {true, C::ButtonFace, C::ButtonText};
        // The two bands stay apart, and the outline shows the shape on any desktop.
        case WindowElement::SplashBand: return {true, C::Window, C::WindowText};
        case WindowElement::SplashFoot: return {true, C::WindowText, C::Window};
        case WindowElement::SplashOutline: return {true, C::WindowText, C::WindowText};
    }
    return {};
}
