// What the pages and the splash draw with, element by element, with high contrast off and on.
#include <gtest/gtest.h>

#include "rules/high_contrast.h"

namespace {

using C = SystemColour;
using E = WindowElement;

struct LookCase {
    E element;
    C fill, ink;
    bool drawn;
};

// In high contrast every element leaves the skin; texts and lines are drawn in the colour
// that belongs with the fill under them, and the skin's pictures are left out.
TEST(HighContrastLook, EachElementInTheSystemsColours) {
    const LookCase cases[] = {
        {E::CaptionBand, C::Highlight, C::HighlightText, true},
        {E::PageBody, C::Window, C::WindowText, true},
        {E::PanelLine, C::WindowText, C::WindowText, true},
        {E::SkinPicture, C::Window, C::WindowText, false},
        {E::PageText, C::Window, C::WindowText, true},
        {E::ChoiceLabel, C::Window, C::WindowText, true},
        {E::NavigationButton, C::ButtonFace, C::ButtonText, true},
        {E::SplashBand, C::Window, C::WindowText, true},
        {E::SplashFoot, C::WindowText, C::Window, true},
        {E::SplashOutline, C::WindowText, C::WindowText, true},
    };
    for (const LookCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.element));
        const ElementLook off = lookOf(c.element, false);
        EXPECT_FALSE(off.system);
        EXPECT_TRUE(off.drawn);
        const ElementLook on = lookOf(c.element, true);
        EXPECT_TRUE(on.system);
        EXPECT_EQ(on.fill, c.fill);
        EXPECT_EQ(on.ink, c.ink);
        EXPECT_EQ(on.drawn, c.drawn);
    }
}

// Texts on the page stand on what the page is filled with, so that the scheme's pair of
// colours (window and its text) is what the reader sees; the splash's bands differ.
TEST(HighContrastLook, TextsStandOnTheirOwnFill) {
    for (E text : {E::PageText, E::ChoiceLabel})
        EXPECT_EQ(lookOf(text, true).fill, lookOf(E::PageBody, true).fill);
    EXPECT_NE(lookOf(E::SplashBand, true).fill, lookOf(E::SplashFoot, true).fill);
    EXPECT_NE(lookOf(E::SplashOutline, true).ink, lookOf(E::SplashBand, true).fill);
}

}  // namespace
