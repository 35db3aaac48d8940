// Preview mode of Setup.exe: every page of every language painted into a picture by the
// pages themselves, off the screen, with the layout report and the findings.
#include <cstdio>
#include <vector>

#include "app/setup_app.h"
#include "config/setup_config.h"
#include "fw/gdi.h"
#include "platform/png_writer.h"
#include "run/preview_run.h"

namespace {

HFONT makeFont(HDC dc, int tenths, const char* face) {
    return ::CreateFontA(pointFontHeight(tenths, ::GetDeviceCaps(dc, LOGPIXELSY)), 0, 0, 0,
                         FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                         CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

// Measures with the pages' fonts: Arial for their texts, the templates' 8 point font for
// their controls.
class GdiMeasure : public PreviewMeasure {
public:
    GdiMeasure()
        : dc_(::CreateCompatibleDC(nullptr)), control_(makeFont(dc_.get(), 80, "MS Sans Serif")) {}

    int lineHeight() override {
        fw::Font body(makeFont(dc_.get(), BODY_FONT_TENTHS, "Arial"));
        fw::Selection font(dc_.get(), body.get());
        SIZE size{};
        ::GetTextExtentPoint32A(dc_.get(), "hj", 2, &size);
        return size.cy;
    }
    int controlTextWidth(const std::string& text) override {
        fw::Selection font(dc_.get(), control_.get());
        SIZE size{};
        ::GetTextExtentPoint32A(dc_.get(), text.data(), static_cast<int>(text.size()), &size);
        return size.cx;
    }
    int wrappedHeight(const std::string& text, int width, int tenths) override {
        fw::Font arial(makeFont(dc_.get(), tenths, "Arial"));
        fw::Selection font(dc_.get(), arial.get());
        RECT r{0, 0, width, 0};
        return ::DrawTextA(dc_.get(), text.data(), static_cast<int>(text.size()), &r,
                           DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
    }

private:
    fw::MemoryDc dc_;
    fw::Font control_;
};

// The page's client area painted into a 32-bit picture and written as PNG.
bool savePicture(WizardWindow& page, const std::string& path) {
    RECT client;
    ::GetClientRect(page.hwnd(), &client);
    const int w = client.right, h = client.bottom;
    if (w <= 0 || h <= 0) return false;
    void* bits = nullptr;
    fw::WindowDc screen(page.hwnd());
    fw::Bitmap picture(fw::topDownPicture(screen.dc(), w, h, &bits));
    fw::MemoryDc dc(::CreateCompatibleDC(screen.dc()));
    if (!picture || !dc || !bits) return false;
    {
        fw::Selection selected(dc.get(), picture.get());
        page.paintInto(dc.get());
        ::GdiFlush();
    }
    const auto* p = static_cast<const std::uint32_t*>(bits);
    std::vector<std::uint32_t> pixels(p, p + static_cast<std::size_t>(w) * h);
    for (std::uint32_t& px : pixels) px &= 0xFFFFFF;
    return writePreviewFile(path, platform::pngFile(w, h, pixels));
}

// The page being previewed; its thread's timer takes the picture once the page is up.
struct Capture {
    std::string path;
    bool saved = false;
    UINT_PTR timer = 0;
} capture;

BOOL CALLBACK findPage(HWND window, LPARAM found) {
    auto* page = dynamic_cast<WizardWindow*>(fw::Window::fromHandle(window));
    if (!page) return TRUE;
    *reinterpret_cast<WizardWindow**>(found) = page;
    return FALSE;
}

void CALLBACK takePicture(HWND, UINT, UINT_PTR, DWORD) {
    WizardWindow* page = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), findPage, reinterpret_cast<LPARAM>(&page));
    if (!page) return;  // not made yet
    ::KillTimer(nullptr, capture.timer);
    capture.timer = 0;
    capture.saved = savePicture(*page, capture.path);
    ::PostMessageA(page->hwnd(), WM_COMMAND, MAKEWPARAM(WIZ_CANCEL, BN_CLICKED),
                   reinterpret_cast<LPARAM>(page->cancelButton()));
}

// The page the run makes for a planned page, through the run's factory, with the run's texts.
std::unique_ptr<RunPage> makePage(PageFactory& pages, const PlannedPage& planned) {
    std::unique_ptr<RunPage> page;
    switch (planned.kind) {
        case PreviewPageKind::Language:
        case PreviewPageKind::Platform:
        case PreviewPageKind::Product: {
            auto radio = pages.choiceRadioPage();
            if (radio) {
                for (const std::string& c : planned.choices) radio->addChoice(c);
                radio->selectChoice(planned.selected);
            }
            page = std::move(radio);
            break;
        }
        case PreviewPageKind::StartText: {
            auto accept = pages.acceptPage();
            if (accept) {
                accept->setAcceptText(planned.text);
                accept->setAcceptLabel(planned.acceptLabel);
            }
            page = std::move(accept);
            break;
        }
        case PreviewPageKind::Summary: {
            auto text = pages.textPage();
            if (text) text->setText(planned.text);
            page = std::move(text);
            break;
        }
        case PreviewPageKind::Closing: {
            auto check = pages.choiceCheckPage();
            if (check) {
                for (std::size_t i = 0; i < planned.choices.size(); ++i) {
                    check->addChoice(planned.choices[i]);
                    check->setChoiceChecked(static_cast<int>(i), planned.marked[i]);
                }
                check->setAllowEmpty(true);
            }
            page = std::move(check);
            break;
        }
        case PreviewPageKind::Menu: {
            Menu& m = *planned.menu;
            if (m.style == MenuStyle::CheckList)
                page = m.optionCount < MAX_CHECK_BOXES ? pages.checkListPage(m)
                                                       : pages.checkListViewPage(m);
            else
                page = m.optionCount < MAX_RADIO_BUTTONS ? pages.radioPage(m)
                                                         : pages.radioListViewPage(m);
            break;
        }
    }
    if (!page) return page;
    page->setCaption(planned.caption);
    page->setTopText(planned.topText);
    page->setBottomText(planned.bottomText);
    page->setSideText(planned.sideText);
    page->setButtons(planned.buttons);
    page->setConfirmCancel(false);
    return page;
}

}  // namespace

int SetupApp::writePreview() {
    // The pages stand where the run shows them for the moment of their picture: off the
    // screen, Wine keeps no frames and scroll bars of the controls to copy.
    GdiMeasure measure;
    std::string failed;
    PreviewResult result = previewDisc(config, menuFiles, measure, [&](const PlannedPage& planned) {
        // The run's marks stay as the script left them.
        std::vector<std::int32_t> marks;
        if (planned.menu)
            marks.assign(planned.menu->optionSelected,
                         planned.menu->optionSelected + planned.menu->optionCount);
        capture = {std::string(PREVIEW_FOLDER) + "\\" + planned.picture, false, 0};
        capture.timer = ::SetTimer(nullptr, 0, 0, takePicture);
        auto page = makePage(pages_, planned);
        if (page) page->runPage();
        if (capture.timer) ::KillTimer(nullptr, capture.timer);
        if (!capture.saved) failed += capture.path + " could not be written.\r\n";
        if (planned.menu) std::copy(marks.begin(), marks.end(), planned.menu->optionSelected);
    });
    writePreviewFile(std::string(PREVIEW_FOLDER) + "\\layout.json", layoutJson(result));
    std::string lines;
    for (const PreviewFinding& f : result.findings) lines += findingLine(f) + "\r\n";
    // After the messages printed so far, in the console and findings.txt.
    messages_.print(lines + failed);
    return result.findings.empty() && failed.empty() && !messages_.printedMessages() ? 0 : 1;
}
