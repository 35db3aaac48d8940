// Preview mode of Setup.exe: every page of every language painted into a picture by the
// pages themselves, with the layout report and the findings.
#include <cstdio>
#include <vector>

#include "app/setup_app.h"
#include "config/setup_config.h"
#include "fw/gdi.h"
#include "platform/png_writer.h"
#include "platform/win32/wide_text_win.h"
#include "rules/dpi_scale.h"
#include "run/preview_run.h"

namespace {

// The layout report is in the pages' 96-DPI units, which a page at any scale multiplies with
// its fonts: measured at the screen's DPI, a 144-DPI text would be set against 96-DPI rows.
HFONT makeFont(HDC, int tenths, const char* face) {
    return ::CreateFontA(pointFontHeight(tenths, BASE_DPI), 0, 0, 0,
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
        const std::wstring wide = platform::win32::wide(text);
        ::GetTextExtentPoint32W(dc_.get(), wide.data(), static_cast<int>(wide.size()), &size);
        return size.cx;
    }
    int wrappedHeight(const std::string& text, int width, int tenths) override {
        fw::Font arial(makeFont(dc_.get(), tenths, "Arial"));
        fw::Selection font(dc_.get(), arial.get());
        RECT r{0, 0, width, 0};
        const std::wstring wide = platform::win32::wide(text);
        return ::DrawTextW(dc_.get(), wide.data(), static_cast<int>(wide.size()), &r,
                           DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
    }

private:
    fw::MemoryDc dc_;
    fw::Font control_;
};

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
    GdiMeasure measure;
    std::string failed;
    PreviewResult result = previewDisc(config, menuFiles, measure, [&](const PlannedPage& planned) {
        // The run's marks stay as the script left them.
        std::vector<std::int32_t> marks;
        if (planned.menu)
            marks.assign(planned.menu->optionSelected,
                         planned.menu->optionSelected + planned.menu->optionCount);
        const std::string path = std::string(PREVIEW_FOLDER) + "\\" + planned.picture;
        auto page = makePage(pages_, planned);
        PagePicture picture;
        if (!page || !page->paintPicture(picture) ||
            !writePreviewFile(path,
                              platform::pngFile(picture.width, picture.height, picture.pixels)))
            failed += path + " could not be written.\r\n";
        if (planned.menu) std::copy(marks.begin(), marks.end(), planned.menu->optionSelected);
    });
    writePreviewFile(std::string(PREVIEW_FOLDER) + "\\layout.json", layoutJson(result));
    std::string lines;
    for (const PreviewFinding& f : result.findings) lines += findingLine(f) + "\r\n";
    // After the messages printed so far, in the console and findings.txt.
    messages_.print(lines + failed);
    return result.findings.empty() && failed.empty() && !messages_.printedMessages() ? 0 : 1;
}
