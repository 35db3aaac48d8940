#pragma once
// What each part of the pages and the splash is drawn with: the skin (the disc's pictures and
// colours) as a rule, the system's colours when Windows' high-contrast mode is on. Window-free:
// the Win32 code turns a SystemColour into the colour of the scheme the user chose.

enum class SystemColour { Window, WindowText, ButtonFace, ButtonText, Highlight, HighlightText };

enum class WindowElement {
    CaptionBand,       // the wizard's coloured band and its caption text
    PageBody,          // below the band: white, with the panel picture on the right
    PanelLine,         // the black line left of the panel
    SkinPicture,       // the logo, brand, panel and side pictures
    PageText,          // top, bottom and side texts
    ChoiceLabel,       // check boxes and radio buttons, drawn over the page
    NavigationButton,  // Back, Next, Finish, Cancel
    SplashBand,        // the splash colour above its band height
    SplashFoot,        // black below it
    SplashOutline,     // the edge of the splash's shape: none but in high contrast
};

struct ElementLook {
    // False: the element is drawn as the skin has it (or, for SplashOutline, not at all).
    bool system = false;
    // In the system's colours: what it is filled with, what its text or line is drawn in.
    SystemColour fill = SystemColour::Window;
    SystemColour ink = SystemColour::WindowText;
    // False for a skin picture: in high contrast it is left out, its place filled as the page.
    bool drawn = true;
};

ElementLook lookOf(WindowElement element, bool highContrast);
