#pragma once
// Reads a dialog template of a module's resources (DIALOG and DIALOGEX forms), so that tests
// can check what the templates hold and find the windows made from them.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace testing_support {

struct TemplateItem {
    int id;
    DWORD style;
    short x, y, cx, cy;
    std::string className;  // the predefined classes by name: "BUTTON", "STATIC", ...
    std::string text;
};

struct DialogTemplate {
    DWORD style, exStyle;
    short cx, cy;
    std::string caption, font;
    int pointSize;
    std::vector<TemplateItem> items;
};

// None when the module has no such template or it is malformed.
std::optional<DialogTemplate> readDialogTemplate(int id, HMODULE module = nullptr);

}  // namespace testing_support
