#include "menu/menu_file.h"

MenuFile::MenuFile(int menuCount)
    : menus_(static_cast<std::size_t>(menuCount)),
      optionArrays_(static_cast<std::size_t>(menuCount)),
      selectedArrays_(static_cast<std::size_t>(menuCount)) {
    for (int i = 0; i < menuCount; ++i) {
        menus_[static_cast<std::size_t>(i)].index = i;
        menus_[static_cast<std::size_t>(i)].menuCount = menuCount;
    }
}

void MenuFile::allocateOptions(int n, int capacity) {
    auto i = static_cast<std::size_t>(n);
    optionArrays_[i] = std::make_unique<MenuOption[]>(static_cast<std::size_t>(capacity));
    selectedArrays_[i] = std::make_unique<std::int32_t[]>(static_cast<std::size_t>(capacity));
    menus_[i].options = optionArrays_[i].get();
    menus_[i].optionSelected = selectedArrays_[i].get();
}

void MenuFile::allocateLanguageTable(int count) {
    languageTable_ = std::make_unique<std::int32_t[]>(static_cast<std::size_t>(count));
    menus_.front().languageCount = count;
    menus_.front().languageStartMenu = languageTable_.get();
}

void freeMenuFile(MenuFilePtr& file) {
    file.reset();
}

bool setLanguageStartMenu(MenuFile& file, int language, int menu) {
    Menu& first = file.first();
    if (language < 0 || language >= first.languageCount) return false;
    first.languageStartMenu[language] = menu;
    return true;
}
