#pragma once
// The in-memory form of a parsed menu script: one record per menu, addressed by number.
// Texts are NUL-terminated byte strings kept in a pool owned by the MenuFile; a null
// pointer is an absent text. The texts of the script (titles, labels, targets ...) are held in
// the record's textEncoding (see platform/text_encoding.h): UTF-8 when a file of the script
// was Unicode, else the script's bytes. directory is a path as the file layer gave it.
#include <cstdint>
#include <memory>
#include <vector>

#include "menu/text_pool.h"
#include "platform/handheld_platform.h"
#include "platform/text_encoding.h"

enum class OptionKind : std::int32_t {
    Menu = 0,  // MENUOPTION, AUTOMENUOPTION
    Html = 1,  // HTMLOPTION
    InstallEpoc = 2,
    InstallN9210 = 3,
    InstallPocketPc = 4,
    InstallPalm = 5,
    Exe = 6,   // EXEOPTION
    Quit = 7,  // QUIT
};

enum class MenuStyle : std::int32_t { None = 0, CheckList = 1, RadioButtons = 2 };

struct MenuOption {
    OptionKind kind = OptionKind::Menu;
    const char* label = nullptr;
    const char* target = nullptr;
    const char* copyright = nullptr;
    std::int32_t targetMenu = 0;
    std::uint8_t autoFlag = 0;
};

struct Menu {
    std::int32_t index = 0;
    std::int32_t menuCount = 0;
    std::int32_t languageCount = 0;  // record 0 only
    MenuStyle style = MenuStyle::None;
    std::int32_t* languageStartMenu = nullptr;  // record 0 only; null without languages
    const char* title = nullptr;
    const char* topText = nullptr;
    const char* bottomText = nullptr;
    const char* version = nullptr;
    const char* directory = nullptr;
    const char* packageFolder = nullptr;
    const char* platformName = nullptr;
    const char* registrationUrl = nullptr;
    std::int32_t optionCount = 0;
    MenuOption* options = nullptr;  // capacity: the count declared on the MENU line
    std::int32_t platformCode = 0;
    std::int32_t* optionSelected = nullptr;  // one entry per option, 1 = marked
    std::uint8_t autoEntered = 0;
    platform::TextEncoding textEncoding = platform::TextEncoding::Ansi;  // the same in every record
    // Held in UTF-8 only because the ANSI script was converted as it was read (no file of it
    // Unicode): type-ahead keeps the byte table of ANSI discs.
    bool convertedFromAnsi = false;
};

// Owns the records, their arrays and their texts.
class MenuFile {
public:
    explicit MenuFile(int menuCount);
    MenuFile(const MenuFile&) = delete;
    MenuFile& operator=(const MenuFile&) = delete;

    int menuCount() const { return static_cast<int>(menus_.size()); }
    Menu& operator[](int n) { return menus_[static_cast<std::size_t>(n)]; }
    const Menu& operator[](int n) const { return menus_[static_cast<std::size_t>(n)]; }
    Menu& first() { return menus_.front(); }

    // Copies a text into the pool and returns the stored copy.
    const char* addText(const char* text) { return texts_.add(text); }
    const char* addText(const char* text, std::size_t length) { return texts_.add(text, length); }
    // Gives menu n option arrays of the given capacity, replacing earlier ones.
    void allocateOptions(int n, int capacity);
    // Gives record 0 a start-menu table of count entries, all 0.
    void allocateLanguageTable(int count);
    std::size_t textBytes() const { return texts_.bytesUsed(); }

private:
    std::vector<Menu> menus_;
    std::vector<std::unique_ptr<MenuOption[]>> optionArrays_;
    std::vector<std::unique_ptr<std::int32_t[]>> selectedArrays_;
    std::unique_ptr<std::int32_t[]> languageTable_;
    TextPool texts_;
};

using MenuFilePtr = std::unique_ptr<MenuFile>;
using MenuFileList = std::vector<MenuFilePtr>;

// Releases a MenuFile and everything it holds; a null pointer is ignored.
void freeMenuFile(MenuFilePtr& file);

// The MENU_FOR_LANGUAGE action: false when language is negative or not below languageCount.
bool setLanguageStartMenu(MenuFile& file, int language, int menu);
