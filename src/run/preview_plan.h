#pragma once
// The preview's plan of a loaded disc: for one language, every page the run can show (the
// start-up pages, each script's menus, a menu's install summary, the closing page) with the
// texts the run gives it, where its picture goes and how the pages' rules lay it out; and
// what an author should hear about the disc's texts and skins.
#include <string>
#include <vector>

#include "menu/menu_file.h"
#include "rules/preview_findings.h"

class SetupConfig;

enum class PreviewPageKind { Language, Platform, Product, StartText, Menu, Summary, Closing };

struct PlannedPage {
    PreviewPageKind kind = PreviewPageKind::Menu;
    PreviewPlace place;
    std::string picture;  // relative to the preview folder, backslashes
    std::string caption, topText, bottomText, sideText, text, acceptLabel;
    int buttons = 0;
    std::vector<std::string> choices;  // fixed lists
    std::vector<int> marked;           // of a fixed check list
    int selected = 0;                  // of a fixed radio list
    Menu* menu = nullptr;              // menu pages
    std::string skinFolder;            // the script's folder, whose skins replace rsc's
};

// Measures texts as the pages draw them. Every text is in the encoding the pages get it in.
class PreviewMeasure {
public:
    virtual ~PreviewMeasure() = default;
    // The height of "hj" in the body font: the pages' row height.
    virtual int lineHeight() = 0;
    // One line in the font of the pages' controls.
    virtual int controlTextWidth(const std::string& text) = 0;
    // The height of the text word-wrapped to width in Arial of that many tenths of a point.
    virtual int wrappedHeight(const std::string& text, int width, int tenths) = 0;
};

// The pages of the current language of config (select it first); the scripts must be loaded
// whole. Menu pages are those reached from the language's start menu (pages of automatic menus
// are not shown by the run and are left out).
std::vector<PlannedPage> planLanguage(SetupConfig& config, MenuFileList& files);

// The page as the pages' rules place it, skin sizes from config.
PreviewPageLayout layOutPage(const PlannedPage& page, const SetupConfig& config,
                             PreviewMeasure& measure);

// The menus of a file shown as pages for a language: reached from its start menu through menu
// links, in number order, automatic ones included.
std::vector<int> menusOfLanguage(const MenuFile& file, int language);

// The folder of a script's pictures and its name as findings give it: "Games-PALM" and
// "Games\PALM.mnu".
std::string scriptFolderName(const Menu& head);
std::string scriptName(const Menu& head);

// Per language (texts[l] is language l's texts, empty for a missing one): every text number
// one language has and another lacks.
std::vector<PreviewFinding> missingTextFindings(const std::vector<std::string>& languageNames,
                                                const std::vector<std::vector<std::string>>& texts);
// The text references of the menu texts a language shows that name no text of that language
// or a text with fewer "%s" than the reference has arguments.
std::vector<PreviewFinding> referenceFindings(const MenuFile& file, int language,
                                              const std::string& languageName,
                                              const std::vector<std::string>& texts);
// The skin pictures of a script that come from neither rsc nor the script's own folder (the
// built-in side picture, or one of another product folder); config has the script's skins.
std::vector<PreviewFinding> skinFindings(const SetupConfig& config, const Menu& head);
