#include "wizard/wizard_window.h"

#include <algorithm>

#include "config/setup_config.h"
#include "fw/dpi.h"
#include "platform/win32/message_box_win.h"
#include "platform/win32/wide_text_win.h"
#include "rules/dpi_scale.h"
#include "run/startup.h"
#include "skin/bitmap_button.h"
#include "skin/bitmap_image.h"
#include "skin/system_look.h"

namespace {

RECT toRect(const WizRect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

int widthOf(const SkinBitmap* b) {
    return b ? b->width() : 0;
}
int heightOf(const SkinBitmap* b) {
    return b ? b->height() : 0;
}

HFONT arial(int tenths, int dpi) {
    return ::CreateFontA(pointFontHeight(tenths, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                         DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                         DEFAULT_PITCH | FF_DONTCARE, "Arial");
}

HFONT boldOf(HFONT font) {
    LOGFONTA face{};
    ::GetObjectA(font, sizeof face, &face);
    face.lfWeight = FW_BOLD;
    return ::CreateFontIndirectA(&face);
}

// How many of the picture's own pixels stand for base 96-DPI ones: twice as many in a
// sharper picture.
SIZE pictureArea(const BitmapImage* drawn, const BitmapImage* normal, int baseWidth,
                 int baseHeight) {
    if (!drawn || !normal || normal->width() <= 0 || normal->height() <= 0) return {0, 0};
    return {baseWidth * drawn->width() / normal->width(),
            baseHeight * drawn->height() / normal->height()};
}

bool visible(HWND window) {
    return window && (::GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE);
}

// The owner of the question while it is asked: a message box owned by the page keeps the page
// from taking clicks meanwhile.
class QuestionOwner {
public:
    QuestionOwner(platform::MessageSink* sink, HWND page)
        : box_(dynamic_cast<platform::MessageBoxSink*>(sink)) {
        if (box_) {
            saved_ = box_->owner();
            box_->setOwner(page);
        }
    }
    ~QuestionOwner() {
        if (box_) box_->setOwner(saved_);
    }
    QuestionOwner(const QuestionOwner&) = delete;
    QuestionOwner& operator=(const QuestionOwner&) = delete;

private:
    platform::MessageBoxSink* box_;
    HWND saved_ = nullptr;
};

}  // namespace

WizardWindow::WizardWindow(const WizardEnvironment& environment)
    : fw::Dialog(IDD_WIZARD_PAGE), environment_(environment) {}

WizardWindow::~WizardWindow() = default;

BitmapImage* WizardWindow::image(int skin) const {
    return bitmapImage(skinForDpi(config(), skin, dpi_));
}

BitmapImage* WizardWindow::normalImage(int skin) const {
    return bitmapImage(config().getBitmap(skin));
}

int WizardWindow::scaled(int value) const {
    return scaleToDpi(value, dpi_);
}

HFONT WizardWindow::controlFont() const {
    if (controlFont_) return controlFont_.get();
    return reinterpret_cast<HFONT>(::SendMessageA(hwnd(), WM_GETFONT, 0, 0));
}

// The dialog manager makes the template's font for the system's DPI, once it has made the
// window; the previous copy is handed back for the controls that still use it.
fw::Font WizardWindow::scaleControlFont() {
    fw::Font previous = std::move(controlFont_);
    controlFont_ =
        fw::fontForDpi(reinterpret_cast<HFONT>(::SendMessageA(hwnd(), WM_GETFONT, 0, 0)), dpi_);
    return previous;
}

HWND WizardWindow::backButton() const {
    return back_ ? back_->hwnd() : nullptr;
}
HWND WizardWindow::nextButton() const {
    return next_ ? next_->hwnd() : nullptr;
}
HWND WizardWindow::finishButton() const {
    return finish_ ? finish_->hwnd() : nullptr;
}
HWND WizardWindow::cancelButton() const {
    return cancel_ ? cancel_->hwnd() : nullptr;
}

bool WizardWindow::onCreate(const CREATESTRUCTA&) {
    if (!environment_.config) return false;
    dpi_ = fw::windowDpi(hwnd());
    layoutFlags_ = buttonFlags;
    fw::layOutOwnDpiChanges(hwnd());
    return layOut();
}

bool WizardWindow::layOut() {
    WizardSkinSizes skin;
    skin.backgroundWidth = widthOf(config().getBitmap(SKIN_BACKGROUND));
    skin.backWidth = widthOf(config().getBitmap(SKIN_BACK));
    skin.backHeight = heightOf(config().getBitmap(SKIN_BACK));
    skin.nextWidth = widthOf(config().getBitmap(SKIN_NEXT));
    skin.nextHeight = heightOf(config().getBitmap(SKIN_NEXT));
    skin.cancelWidth = widthOf(config().getBitmap(SKIN_CANCEL));
    skin.cancelHeight = heightOf(config().getBitmap(SKIN_CANCEL));
    baseLayout_ = computeWizardLayout(skin, layoutFlags_);
    layout_ = scaleToDpi(baseLayout_, dpi_);
    topTextRect = layout_.topText;
    contentRect = layout_.content;
    pictureRect = layout_.picture;
    sideTextRect = layout_.sideText;
    topTextLimit = contentRect.top;

    fw::WindowDc dc(hwnd());
    bodyFont_.reset(arial(BODY_FONT_TENTHS, dpi_));
    if (!bodyFont_) return false;
    const auto gui = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    guiFont_ = fw::fontForDpi(gui, dpi_);
    captionFont_.reset(boldOf(guiFont_ ? guiFont_.get() : gui));
    SIZE size{};
    {
        fw::Selection font(dc.dc(), bodyFont_.get());
        ::GetTextExtentPoint32A(dc.dc(), "hj", 2, &size);
    }
    lineHeight = size.cy;
    captionBrush_.reset(::CreateSolidBrush(config().getCaptionColour()));
    return true;
}

bool WizardWindow::onInitDialog() {
    platform::win32::setWindowText(hwnd(), config().getText(TEXT_TITLE));
    scaleControlFont();
    // Where the last page stood, the size this window's DPI gives.
    ScreenRect r = config().wizardRect;
    const int w = scaled(WIZARD_WIDTH), h = scaled(WIZARD_HEIGHT);
    if (r.right <= r.left || r.bottom <= r.top) {
        // Not placed yet: in the middle of the screen.
        r = centredRect(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), w, h);
    }
    // Placed and shown once the page's controls are made and ordered (handleMessage): each
    // control made or moved in a shown window costs the first paint a redraw.
    place_ = {r.left, r.top, r.left + w, r.top + h};

    back_ = std::make_unique<BitmapButton>(nullptr, nullptr);
    next_ = std::make_unique<BitmapButton>(nullptr, nullptr);
    cancel_ = std::make_unique<BitmapButton>(nullptr, nullptr);
    finish_ = std::make_unique<BitmapButton>(nullptr, nullptr);
    // Their pictures before their windows, which are made in their places.
    fitButtons();
    // Made in this order; once the page's own controls exist, the tab order is put in reading
    // order (arrangeKeyboard).
    const bool finish = buttonFlags & BUTTON_FINISH;
    next_->create(hwnd(), "&Next", WIZ_NEXT, toRect(layout_.next),
                  (buttonFlags & BUTTON_NEXT) && !finish);
    finish_->create(hwnd(), "&Finish", WIZ_FINISH, toRect(layout_.next), finish);
    cancel_->create(hwnd(), "&Cancel", WIZ_CANCEL, toRect(layout_.cancel),
                    buttonFlags & BUTTON_CANCEL);
    back_->create(hwnd(), "&Back", WIZ_BACK, toRect(layout_.back), buttonFlags & BUTTON_BACK);

    // Next gets the focus once the page has made its controls, unless the page gives it to
    // one of them (handleMessage): the focus then changes once, and the first change
    // activates the page.
    return false;
}

bool WizardWindow::onCommand(int id, int code, HWND control) {
    if (code == BN_CLICKED || code == 1) {
        HWND focus = ::GetFocus();
        switch (id) {
            case WIZ_NEXT:
                if (focus && focus == nextButton())
                    endDialog(WIZ_NEXT);
                else if (focus && focus == backButton())
                    endDialog(WIZ_BACK);
                else if (focus && focus == finishButton())
                    endDialog(WIZ_FINISH);
                else if (focus && focus == cancelButton())
                    cancelPath();
                else if (visible(nextButton()) || visible(finishButton()))
                    endDialog(WIZ_NEXT);
                return true;
            case WIZ_CANCEL: cancelPath(); return true;
            case WIZ_FINISH:
                if (focus && focus == finishButton()) endDialog(WIZ_FINISH);
                return true;
            case WIZ_BACK: endDialog(WIZ_BACK); return true;
            default: break;
        }
    }
    return fw::Dialog::onCommand(id, code, control);
}

void WizardWindow::cancelPath() {
    if (confirmCancel) {
        std::string text = config().getText(0), caption = config().getText(TEXT_TITLE);
        bool yes;
        if (platform::MessageSink* messages = environment_.messages) {
            QuestionOwner owner(messages, hwnd());
            yes = messages->askYesNo(text, caption, platform::MessageIcon::Exclamation);
        } else {
            platform::MessageBoxSink box(hwnd());
            yes = box.askYesNo(text, caption, platform::MessageIcon::Exclamation);
        }
        if (!yes) return;
    }
    endDialog(WIZ_CANCEL);
}

bool WizardWindow::onEraseBackground(HDC dc) {
    RECT client;
    ::GetClientRect(hwnd(), &client);
    const int width = client.right, height = client.bottom;
    const int bandHeight = scaled(CAPTION_BAND_HEIGHT);
    RECT below{0, bandHeight, width, height};
    ::FillRect(dc, &below,
               fillOf(WindowElement::PageBody, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH))));
    RECT band{0, 0, width, bandHeight};
    ::FillRect(dc, &band, fillOf(WindowElement::CaptionBand, captionBrush_.get()));
    if (!caption.empty()) {
        fw::Selection font(dc, captionFont_.get());
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, inkOf(WindowElement::CaptionBand, RGB(255, 255, 255)));
        std::wstring text = platform::win32::wide(caption);
        ::TextOutW(dc, scaled(CAPTION_TEXT_LEFT), scaled(CAPTION_TEXT_TOP), text.data(),
                   static_cast<int>(text.size()));
    }
    const BitmapImage* panel = normalImage(SKIN_BACKGROUND);
    const int panelWidth = panel ? panel->width() : 0;
    // The line keeps to the client's right edge, the panel to the page's.
    RECT line{width - scaled(panelWidth + 2), scaled(PANEL_LINE_TOP),
              width - scaled(panelWidth + 1), height - scaled(PANEL_LINE_GAP)};
    ::FillRect(
        dc, &line,
        fillOf(WindowElement::PanelLine, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH))));
    if (!drawsSkinPictures()) return true;
    if (panel)
        drawSkin(dc, SKIN_BACKGROUND,
                 {WIZARD_WIDTH - panelWidth, CAPTION_BAND_HEIGHT, WIZARD_WIDTH,
                  CAPTION_BAND_HEIGHT + panel->height()});
    if (const BitmapImage* brand = normalImage(SKIN_BRAND))
        drawSkin(dc, SKIN_BRAND, {BRAND_RIGHT - brand->width(), 0, BRAND_RIGHT, brand->height()});
    if (const BitmapImage* logo = normalImage(SKIN_LOGO))
        drawSkin(dc, SKIN_LOGO, {2, 0, 2 + logo->width(), logo->height()});
    return true;
}

void WizardWindow::drawSkin(HDC dc, int skin, const WizRect& base) const {
    drawPicture(dc, image(skin), toRect(scaleToDpi(base, dpi_)));
}

bool WizardWindow::onPaint() {
    fw::PaintScope scope(hwnd());
    paint(scope.dc());
    return true;
}

void WizardWindow::paint(HDC dc) {
    {
        fw::Selection font(dc, bodyFont_.get());
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, inkOf(WindowElement::PageText, RGB(0, 0, 0)));
        if (!topText.empty()) drawTopText(dc);
        if (!bottomText.empty()) {
            RECT r{contentRect.left, scaled(baseLayout_.content.bottom - BOTTOM_TEXT_HEIGHT),
                   contentRect.right, contentRect.bottom};
            std::wstring text = platform::win32::wide(bottomText);
            ::DrawTextW(dc, text.data(), static_cast<int>(text.size()), &r,
                        DT_WORDBREAK | DT_LEFT | DT_NOPREFIX);
        }
    }
    BitmapImage* bar = image(SKIN_BAR);
    const BitmapImage* normalBar = normalImage(SKIN_BAR);
    if (bar && bar->dc() && !bar->fromResources() && normalBar && drawsSkinPictures()) {
        RECT r = toRect(pictureRect);
        ::FillRect(dc, &r, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        // At 96 DPI the place's size is copied whatever the picture's; scaled, only the
        // picture itself is stretched, and the black stays where it does not reach.
        int w = SIDE_PICTURE_WIDTH, h = SIDE_PICTURE_HEIGHT;
        if (dpi_ != BASE_DPI) {
            w = std::min(w, normalBar->width());
            h = std::min(h, normalBar->height());
        }
        const WizRect base{baseLayout_.picture.left, baseLayout_.picture.top,
                           baseLayout_.picture.left + w, baseLayout_.picture.top + h};
        const SIZE area = pictureArea(bar, normalBar, w, h);
        drawPicture(dc, bar, toRect(scaleToDpi(base, dpi_)), area.cx, area.cy);
    }
    if (!sideText.empty()) {
        fw::Selection font(dc, guiFont_ ? static_cast<HGDIOBJ>(guiFont_.get())
                                        : ::GetStockObject(DEFAULT_GUI_FONT));
        RECT r = toRect(sideTextRect);
        std::wstring text = platform::win32::wide(sideText);
        ::DrawTextW(dc, text.data(), static_cast<int>(text.size()), &r,
                    DT_WORDBREAK | DT_CENTER | DT_NOPREFIX);
    }
}

// The text is measured at the layout's full width at every paint (a rectangle narrowed by one
// measurement would wrap the next one sooner); a text too tall for topTextLimit gets a
// smaller Arial.
void WizardWindow::drawTopText(HDC dc) {
    std::wstring text = platform::win32::wide(topText);
    const int length = static_cast<int>(text.size());
    const UINT format = DT_WORDBREAK | DT_NOPREFIX;
    RECT r{layout_.topText.left, topTextRect.top, layout_.topText.right, topTextRect.bottom};
    int h = ::DrawTextW(dc, text.data(), length, &r, format | DT_CALCRECT);
    HGDIOBJ previous = nullptr;
    if (r.top + h > topTextLimit) {
        fittedFont_.reset(arial(fittedTopTextTenths(r.top, topTextLimit, h), dpi_));
        if (fittedFont_) {
            previous = ::SelectObject(dc, fittedFont_.get());
            r.right = layout_.topText.right;
            h = ::DrawTextW(dc, text.data(), length, &r, format | DT_CALCRECT);
        }
    }
    topTextRect.bottom = topTextRect.top + h;
    r = {layout_.topText.left, topTextRect.top, layout_.topText.right, topTextRect.bottom};
    ::DrawTextW(dc, text.data(), length, &r, format);
    if (previous) ::SelectObject(dc, previous);
}

std::optional<LRESULT> WizardWindow::onHitTest(POINT screen) {
    ::ScreenToClient(hwnd(), &screen);
    return screen.y < scaled(CAPTION_BAND_HEIGHT) ? HTCAPTION : HTCLIENT;
}

void WizardWindow::fitButton(BitmapButton& button, int skin, int focusSkin, const WizRect& base) {
    BitmapImage* normal = image(skin);
    BitmapImage* focus = image(focusSkin);
    button.setPictures(normal, focus);
    button.showPictureArea(pictureArea(normal, normalImage(skin), base.width(), base.height()),
                           pictureArea(focus, normalImage(focusSkin), base.width(), base.height()));
    if (!button.hwnd()) return;
    const WizRect r = scaleToDpi(base, dpi_);
    ::SetWindowPos(button.hwnd(), nullptr, r.left, r.top, r.width(), r.height(),
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ::InvalidateRect(button.hwnd(), nullptr, FALSE);
}

void WizardWindow::fitButtons() {
    fitButton(*back_, SKIN_BACK, SKIN_BACK_FOCUS, baseLayout_.back);
    fitButton(*next_, SKIN_NEXT, SKIN_NEXT_FOCUS, baseLayout_.next);
    fitButton(*finish_, SKIN_FINISH, SKIN_FINISH_FOCUS, baseLayout_.next);
    fitButton(*cancel_, SKIN_CANCEL, SKIN_CANCEL_FOCUS, baseLayout_.cancel);
}

bool WizardWindow::onDpiChanged(int dpi, const RECT& suggested) {
    if (dpi <= 0 || !environment_.config) return false;
    dpi_ = dpi;
    if (!layOut()) return true;
    ::SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, scaled(WIZARD_WIDTH),
                   scaled(WIZARD_HEIGHT), SWP_NOZORDER | SWP_NOACTIVATE);
    if (back_) fitButtons();
    const fw::Font previous = scaleControlFont();
    for (HWND c = ::GetWindow(hwnd(), GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
        ::SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(controlFont()), FALSE);
    layOutControls();
    ::InvalidateRect(hwnd(), nullptr, TRUE);
    return true;
}

void WizardWindow::onDestroy() {
    back_.reset();
    next_.reset();
    cancel_.reset();
    finish_.reset();
    RECT r;
    if (environment_.config && ::GetWindowRect(hwnd(), &r))
        config().wizardRect = {r.left, r.top, r.right, r.bottom};
}

void WizardWindow::showNavigationButton(int flag, bool show) {
    if (show)
        buttonFlags |= flag;
    else
        buttonFlags &= ~flag;
    HWND button = flag == BUTTON_NEXT     ? nextButton()
                  : flag == BUTTON_FINISH ? finishButton()
                  : flag == BUTTON_BACK   ? backButton()
                                          : cancelButton();
    if (button) ::ShowWindow(button, show ? SW_SHOW : SW_HIDE);
}

HWND WizardWindow::makeControl(const char* className, DWORD style, DWORD exStyle,
                               const std::string& text, int id, const WizRect& r) {
    HWND control = ::CreateWindowExW(
        exStyle, platform::win32::wide(className).c_str(), platform::win32::wide(text).c_str(),
        WS_CHILD | style, r.left, r.top, r.width(), r.height(), hwnd(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
    if (control) ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(controlFont()), 0);
    return control;
}

void WizardWindow::placeChoiceRows(const HWND* controls, int count) {
    const int top = choiceBlockTop(contentRect, count, lineHeight, dpi_);
    HDWP batch = ::BeginDeferWindowPos(count);
    for (int i = 0; i < count && batch; ++i) {
        if (!controls[i]) continue;
        WizRect r = choiceRowRect(contentRect, top, i, lineHeight, dpi_);
        RECT now{};
        ::GetWindowRect(controls[i], &now);
        ::MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&now), 2);
        if (::IsWindowVisible(controls[i]) && now.left == r.left && now.top == r.top &&
            now.right == r.right && now.bottom == r.bottom)
            continue;
        batch = ::DeferWindowPos(batch, controls[i], nullptr, r.left, r.top, r.width(), r.height(),
                                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
    if (batch) ::EndDeferWindowPos(batch);
}

void WizardWindow::moveControl(HWND control, const WizRect& r) {
    if (control)
        ::SetWindowPos(control, nullptr, r.left, r.top, r.width(), r.height(),
                       SWP_NOZORDER | SWP_NOACTIVATE);
}

HBRUSH WizardWindow::hollowLabel(HDC dc) {
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, inkOf(WindowElement::ChoiceLabel, ::GetSysColor(COLOR_BTNTEXT)));
    return static_cast<HBRUSH>(::GetStockObject(HOLLOW_BRUSH));
}
