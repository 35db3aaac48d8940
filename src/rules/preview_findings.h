#pragma once
// What a preview finds on a laid-out page: a choice label wider than its row, a block of
// choice rows that runs past what the page shows, a top text squeezed below a readable size.
// The page is described by its controls as the pages place them; no window is needed.
#include <string>
#include <vector>

#include "rules/wizard_layout.h"

enum class PreviewControlKind {
    TopText,
    BottomText,
    SideText,
    Choice,
    List,
    TextBox,
    CheckBox,
    Button
};
const char* previewControlName(PreviewControlKind kind);

struct PreviewControl {
    PreviewControlKind kind = PreviewControlKind::Choice;
    WizRect rect;
    std::string text;  // UTF-8
    int fontTenths = 0;
    int textWidth = 0;  // one line of text in the control's font; 0 when not measured
};

// Where a page belongs: every finding names it. menu is -1 on pages of no menu.
struct PreviewPlace {
    int languageNumber = -1;  // -1: every language
    std::string language, script;
    int menu = -1;
};

struct PreviewFinding {
    PreviewPlace place;
    int option = -1;  // -1: no option
    std::string what;
    std::string detail;  // measured sizes, which differ between machines; not compared
    bool operator==(const PreviewFinding&) const;
};
bool operator==(const PreviewPlace& a, const PreviewPlace& b);

// One line for the author: "language 1 Deutsch, script Games\PALM.mnu, menu 3, option 2: what
// (detail)".
std::string findingLine(const PreviewFinding& finding);

// The smallest top text the preview lets pass, in tenths of a point.
inline constexpr int MIN_TOP_TEXT_TENTHS = 70;
// The box or button of a choice before its label.
inline constexpr int CHOICE_MARK_WIDTH = 20;

struct PreviewPageLayout {
    PreviewPlace place;
    std::string picture;  // where the picture is written, relative to the preview folder
    WizRect content;
    std::vector<PreviewControl> controls;
};

// The layout findings of one page, in the order of its controls. Choice controls are the
// page's options in order (option i is the i-th choice).
std::vector<PreviewFinding> layoutFindings(const PreviewPageLayout& page);
