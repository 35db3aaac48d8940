#include "wizard/wizard_window.h"

#include "config/setup_config.h"
#include "platform/win32/message_box_win.h"
#include "platform/win32/wide_text_win.h"
#include "run/startup.h"
#include "skin/bitmap_button.h"
#include "skin/bitmap_image.h"

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

HFONT arial(HDC dc, int tenths, int weight = FW_NORMAL) {
    return ::CreateFontA(pointFontHeight(tenths, ::GetDeviceCaps(dc, LOGPIXELSY)), 0, 0, 0, weight,
                         FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                         CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                         "Arial");
}

void copyImage(HDC dc, BitmapImage* picture, int x, int y) {
    if (picture && picture->dc())
        ::BitBlt(dc, x, y, picture->width(), picture->height(), picture->dc(), 0, 0, SRCCOPY);
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
    return bitmapImage(config().getBitmap(skin));
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
    WizardSkinSizes skin;
    skin.backgroundWidth = widthOf(config().getBitmap(SKIN_BACKGROUND));
    skin.backWidth = widthOf(config().getBitmap(SKIN_BACK));
    skin.backHeight = heightOf(config().getBitmap(SKIN_BACK));
    skin.nextWidth = widthOf(config().getBitmap(SKIN_NEXT));
    skin.nextHeight = heightOf(config().getBitmap(SKIN_NEXT));
    skin.cancelWidth = widthOf(config().getBitmap(SKIN_CANCEL));
    skin.cancelHeight = heightOf(config().getBitmap(SKIN_CANCEL));
    layout_ = computeWizardLayout(skin, buttonFlags);
    topTextRect = layout_.topText;
    contentRect = layout_.content;
    pictureRect = layout_.picture;
    sideTextRect = layout_.sideText;
    topTextLimit = contentRect.top;

    fw::WindowDc dc(hwnd());
    bodyFont_.reset(arial(dc.dc(), BODY_FONT_TENTHS));
    if (!bodyFont_) return false;
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
    ScreenRect r = config().wizardRect;
    if (r.right <= r.left || r.bottom <= r.top) {
        // Not placed yet: in the middle of the screen.
        r = centredRect(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN),
                        WIZARD_WIDTH, WIZARD_HEIGHT);
    }
    ::SetWindowPos(hwnd(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                   SWP_NOZORDER | (showLater_ ? 0 : SWP_SHOWWINDOW));

    back_ = std::make_unique<BitmapButton>(image(SKIN_BACK), image(SKIN_BACK_FOCUS));
    next_ = std::make_unique<BitmapButton>(image(SKIN_NEXT), image(SKIN_NEXT_FOCUS));
    cancel_ = std::make_unique<BitmapButton>(image(SKIN_CANCEL), image(SKIN_CANCEL_FOCUS));
    finish_ = std::make_unique<BitmapButton>(image(SKIN_FINISH), image(SKIN_FINISH_FOCUS));
    // Made in this order; once the page's own controls exist, the tab order is put in reading
    // order (arrangeKeyboard).
    const bool finish = buttonFlags & BUTTON_FINISH;
    next_->create(hwnd(), "&Next", WIZ_NEXT, toRect(layout_.next),
                  (buttonFlags & BUTTON_NEXT) && !finish);
    finish_->create(hwnd(), "&Finish", WIZ_FINISH, toRect(layout_.next), finish);
    cancel_->create(hwnd(), "&Cancel", WIZ_CANCEL, toRect(layout_.cancel),
                    buttonFlags & BUTTON_CANCEL);
    back_->create(hwnd(), "&Back", WIZ_BACK, toRect(layout_.back), buttonFlags & BUTTON_BACK);

    ::SetFocus(next_->hwnd());
    ::InvalidateRect(next_->hwnd(), nullptr, TRUE);
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
    RECT below{0, CAPTION_BAND_HEIGHT, width, height};
    ::FillRect(dc, &below, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    RECT band{0, 0, width, CAPTION_BAND_HEIGHT};
    ::FillRect(dc, &band, captionBrush_.get());
    if (!caption.empty()) {
        LOGFONTA face{};
        ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof face, &face);
        face.lfWeight = FW_BOLD;
        fw::Font bold(::CreateFontIndirectA(&face));
        fw::Selection font(dc, bold.get());
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, RGB(255, 255, 255));
        std::wstring text = platform::win32::wide(caption);
        ::TextOutW(dc, CAPTION_TEXT_LEFT, CAPTION_TEXT_TOP, text.data(),
                   static_cast<int>(text.size()));
    }
    BitmapImage* panel = image(SKIN_BACKGROUND);
    const int panelWidth = panel ? panel->width() : 0;
    RECT line{width - panelWidth - 2, PANEL_LINE_TOP, width - panelWidth - 1,
              height - PANEL_LINE_GAP};
    ::FillRect(dc, &line, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    copyImage(dc, panel, WIZARD_WIDTH - panelWidth, CAPTION_BAND_HEIGHT);
    BitmapImage* brand = image(SKIN_BRAND);
    if (brand) copyImage(dc, brand, BRAND_RIGHT - brand->width(), 0);
    copyImage(dc, image(SKIN_LOGO), 2, 0);
    return true;
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
        ::SetTextColor(dc, RGB(0, 0, 0));
        if (!topText.empty()) drawTopText(dc);
        if (!bottomText.empty()) {
            RECT r{contentRect.left, contentRect.bottom - BOTTOM_TEXT_HEIGHT, contentRect.right,
                   contentRect.bottom};
            std::wstring text = platform::win32::wide(bottomText);
            ::DrawTextW(dc, text.data(), static_cast<int>(text.size()), &r,
                        DT_WORDBREAK | DT_LEFT | DT_NOPREFIX);
        }
    }
    BitmapImage* bar = image(SKIN_BAR);
    if (bar && bar->dc() && !bar->fromResources()) {
        RECT r = toRect(pictureRect);
        ::FillRect(dc, &r, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        ::BitBlt(dc, pictureRect.left, pictureRect.top, SIDE_PICTURE_WIDTH, SIDE_PICTURE_HEIGHT,
                 bar->dc(), 0, 0, SRCCOPY);
    }
    if (!sideText.empty()) {
        fw::Selection font(dc, ::GetStockObject(DEFAULT_GUI_FONT));
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
        fittedFont_.reset(arial(dc, fittedTopTextTenths(r.top, topTextLimit, h)));
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
    return screen.y < CAPTION_BAND_HEIGHT ? HTCAPTION : HTCLIENT;
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
    if (control) ::SendMessageA(control, WM_SETFONT, ::SendMessageA(hwnd(), WM_GETFONT, 0, 0), 0);
    return control;
}

void WizardWindow::placeChoiceRows(const HWND* controls, int count) {
    const int top = choiceBlockTop(contentRect, count, lineHeight);
    HDWP batch = ::BeginDeferWindowPos(count);
    for (int i = 0; i < count && batch; ++i) {
        if (!controls[i]) continue;
        WizRect r = choiceRowRect(contentRect, top, i, lineHeight);
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

HBRUSH WizardWindow::hollowLabel(HDC dc) {
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
    return static_cast<HBRUSH>(::GetStockObject(HOLLOW_BRUSH));
}
