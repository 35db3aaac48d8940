#pragma once
// The common base of every wizard page: a borderless modal window at wizardRect that draws
// the skin (caption band, panel, corner pictures, side picture, texts), owns the Back, Next,
// Finish and Cancel buttons, turns buttons and keys into the page's result, asks before
// Cancel and can be dragged by its caption band. Pages put their controls in contentRect.
// Every layout number is in 96-DPI pixels, scaled to the window's own DPI; the window lays
// itself out again when moved to a screen of another DPI.
#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fw/dialog.h"
#include "fw/gdi.h"
#include "rules/wizard_layout.h"
#include "run/run_pages.h"

class BitmapButton;
class BitmapImage;
class SetupConfig;
namespace platform {
class Clock;
class MessageSink;
}  // namespace platform

// What every page works with, handed to it when it is made: the configuration (texts, skin,
// caption colour, wizardRect; a page without one is not made), the sink of the Cancel question
// (null: a message box of the page's own) and the clock of the list pages' type-ahead pauses
// (null: the system clock).
struct WizardEnvironment {
    SetupConfig* config = nullptr;
    platform::MessageSink* messages = nullptr;
    platform::Clock* clock = nullptr;
};

class WizardWindow : public fw::Dialog {
public:
    explicit WizardWindow(const WizardEnvironment& environment);
    ~WizardWindow() override;

    void setCaption(const std::string& text) { caption = text; }
    void setTopText(const std::string& text) { topText = text; }
    void setBottomText(const std::string& text) { bottomText = text; }
    void setSideText(const std::string& text) { sideText = text; }
    void setButtons(int flags) { buttonFlags = flags; }
    // Creates, runs and destroys the window: WIZ_NEXT, WIZ_CANCEL, WIZ_FINISH, WIZ_BACK, or -1
    // when the window cannot be created.
    int runPage() { return static_cast<int>(doModal()); }

    int topTextLimit = 0;
    bool confirmCancel = true;
    int buttonFlags = 0;
    WizRect topTextRect, contentRect, pictureRect, sideTextRect;
    int lineHeight = 0;
    std::string caption, topText, bottomText, sideText;

    HWND backButton() const;
    HWND nextButton() const;
    HWND finishButton() const;
    HWND cancelButton() const;
    // The dots per inch that the page is laid out for.
    int dpi() const { return dpi_; }
    // Paints the page and its visible controls into dc in client coordinates, as the screen
    // shows them: the preview's pictures, taken without the screen.
    void paintInto(HDC dc);
    // Makes the page modeless where runPage shows it, but transparent and never active, lets
    // it settle (its posted messages and paints), paints it with paintInto and destroys it:
    // the preview's picture of the page.
    bool paintPicture(PagePicture& picture);

protected:
    const WizardEnvironment& environment() const { return environment_; }

    bool onCreate(const CREATESTRUCTA& create) override;
    bool onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;
    bool onEraseBackground(HDC dc) override;
    bool onPaint() final;
    bool onDpiChanged(int dpi, const RECT& suggested) override;
    // Pages move their own controls to the current layout (after a change of DPI).
    virtual void layOutControls() {}
    // A 96-DPI length in the window's pixels.
    int scaled(int value) const;
    // Pages draw after the base painting.
    virtual void paint(HDC dc);
    std::optional<LRESULT> onHitTest(POINT screen) override;
    void onDestroy() override;

    // Sets or clears a navigation button's bit and shows or hides it.
    void showNavigationButton(int flag, bool show);
    // A child control in the toolkit's dialog font (at the window's DPI); null when it cannot
    // be made.
    HWND makeControl(const char* className, DWORD style, DWORD exStyle, const std::string& text,
                     int id, const WizRect& rect);
    HFONT bodyFont() const { return bodyFont_.get(); }
    // Moves and shows choice controls 0..count-1 to their rows (the centred block), in one
    // batch; a control already in its place is left alone.
    void placeChoiceRows(const HWND* controls, int count);
    static void moveControl(HWND control, const WizRect& rect);
    // For pages whose choices lie over the panel: transparent labels on a hollow brush.
    static HBRUSH hollowLabel(HDC dc);

    // What readers learn of a control of the page (roles: ROLE_SYSTEM_*), kept until the
    // page is destroyed: a name as it stands, or a check box's or radio button's label (its
    // mnemonic taken out and given as the shortcut), the check reported.
    void describeControl(HWND control, const std::string& name, long role);
    void describeChoice(HWND control, const std::string& label, long role);
    // The name of the page's one control that answers its question (a list, a text box): the
    // top text, else the page's name.
    std::string questionName() const;

    // The page's initialisation, then the keyboard's order over what it made.
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Tab order and groups of the arrow keys in reading order; the focus on the controls.
    void arrangeKeyboard();
    void cancelPath();
    void drawTopText(HDC dc);
    // Layout, fonts and line height for dpi_; false when the body font cannot be made.
    bool layOut();
    // The picture of a slot, and where it goes: a 96-DPI rectangle scaled to the window.
    void drawSkin(HDC dc, int skin, const WizRect& base) const;
    // A navigation button's pictures for the DPI and its place.
    void fitButton(BitmapButton& button, int skin, int focusSkin, const WizRect& base);
    void fitButtons();
    HFONT controlFont() const;
    fw::Font scaleControlFont();
    SetupConfig& config() const { return *environment_.config; }
    // The slot's picture as drawn at dpi_ (the sharper one where it fits), and the one whose
    // size the layout takes.
    BitmapImage* image(int skin) const;
    BitmapImage* normalImage(int skin) const;

    WizardEnvironment environment_;
    // paintPicture's page is shown once its controls are made: each control made on a shown
    // window costs the system a redraw.
    bool showLater_ = false;
    RECT place_{};  // where the page opens, in screen coordinates
    std::unique_ptr<BitmapButton> back_, next_, cancel_, finish_;
    int dpi_ = 96;
    int layoutFlags_ = 0;  // the buttons laid out: buttonFlags as the page opened
    WizardLayout baseLayout_, layout_;
    fw::Brush captionBrush_;
    fw::Font bodyFont_, fittedFont_;
    // The DEFAULT_GUI_FONT (its bold for the caption) and the dialog's font at dpi_; null
    // where the system's own fit.
    fw::Font guiFont_, captionFont_, controlFont_;
    std::vector<std::unique_ptr<fw::Window>> tellers_;
};
