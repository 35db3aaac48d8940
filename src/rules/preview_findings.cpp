#include "rules/preview_findings.h"

const char* previewControlName(PreviewControlKind kind) {
    switch (kind) {
        case PreviewControlKind::TopText: return "top text";
        case PreviewControlKind::BottomText: return "bottom text";
        case PreviewControlKind::SideText: return "side text";
        case PreviewControlKind::Choice: return "choice";
        case PreviewControlKind::List: return "list";
        case PreviewControlKind::TextBox: return "text box";
        case PreviewControlKind::CheckBox: return "check box";
        case PreviewControlKind::Button: return "button";
    }
    return "";
}

bool operator==(const PreviewPlace& a, const PreviewPlace& b) {
    return a.languageNumber == b.languageNumber && a.language == b.language &&
           a.script == b.script && a.menu == b.menu;
}

bool PreviewFinding::operator==(const PreviewFinding& o) const {
    return place == o.place && option == o.option && what == o.what;
}

std::string findingLine(const PreviewFinding& f) {
    std::string line;
    if (f.place.languageNumber >= 0)
        line = "language " + std::to_string(f.place.languageNumber) + " " + f.place.language;
    else
        line = "every language";
    if (!f.place.script.empty()) line += ", script " + f.place.script;
    if (f.place.menu >= 0) line += ", menu " + std::to_string(f.place.menu);
    if (f.option >= 0) line += ", option " + std::to_string(f.option);
    line += ": " + f.what;
    return f.detail.empty() ? line : line + " (" + f.detail + ")";
}

std::vector<PreviewFinding> layoutFindings(const PreviewPageLayout& page) {
    std::vector<PreviewFinding> found;
    auto add = [&](int option, const char* what, std::string detail) {
        found.push_back({page.place, option, what, std::move(detail)});
    };
    // The rows must end above the bottom text, where the page has one.
    int rowLimit = page.content.bottom;
    for (const PreviewControl& c : page.controls)
        if (c.kind == PreviewControlKind::BottomText && !c.text.empty()) rowLimit = c.rect.top;
    int option = 0;
    bool overflowSaid = false;
    for (const PreviewControl& c : page.controls) {
        if (c.kind == PreviewControlKind::TopText && c.fontTenths < MIN_TOP_TEXT_TENTHS) {
            add(-1, "top text fitted below 7 points",
                std::to_string(c.fontTenths / 10) + "." + std::to_string(c.fontTenths % 10) +
                    " points");
        }
        if (c.kind != PreviewControlKind::Choice) continue;
        if (c.textWidth + CHOICE_MARK_WIDTH > c.rect.width())
            add(option, "label wider than its row",
                std::to_string(c.textWidth) + " of " +
                    std::to_string(c.rect.width() - CHOICE_MARK_WIDTH) + " pixels");
        if (!overflowSaid && (c.rect.bottom > rowLimit || c.rect.top < page.content.top)) {
            overflowSaid = true;
            add(option, "option list longer than the page shows",
                "rows from this option on pass pixel " + std::to_string(rowLimit));
        }
        ++option;
    }
    return found;
}
