#include "run/wizard_run.h"

#include "actions/package_installer.h"
#include "config/setup_config.h"
#include "menu/menu_parser.h"
#include "run/run_pages.h"

namespace {

const char* const NO_MEMORY = "Error.\nNot enough memory.\nCannot run Setup.";
// ChoiceRadioPage holds at most this many choices; more products are offered as a list.
constexpr std::size_t MAX_CHOICES = 12;

std::string standardCaption() {
    return std::string("Setup ") + programVersion;
}

bool goesOn(int result) {
    return result == WIZ_NEXT || result == WIZ_FINISH;
}

const char* orEmpty(const char* text) {
    return text ? text : "";
}

}  // namespace

WizardRun::WizardRun(RunServices services) : s_(std::move(services)), config_(*s_.config) {
    s_.installer->setCancelCheck([this] { return cancelRequested.load(); });
}

std::string WizardRun::text(int n) const {
    return config_.getText(n);
}

std::string WizardRun::expand(const char* source) const {
    return config_.resolveText(orEmpty(source));
}

void WizardRun::error(const std::string& message) {
    s_.actions.system.messages->showMessage(message, s_.messageCaption,
                                            platform::MessageIcon::Exclamation);
}

void WizardRun::outOfMemory() {
    error(NO_MEMORY);
}

// ---- start-up choices ----

bool WizardRun::runStartupChoices() {
    keepRunning = 1;
    if (config_.getLanguageCount() > 1) {
        auto page = s_.pages->choiceRadioPage();
        if (!page) {
            outOfMemory();
            return false;
        }
        page->setTopText(text(25));
        page->setCaption(standardCaption());
        for (const std::string& name : config_.languageNames) page->addChoice(name);
        page->setButtons(BUTTON_NEXT | BUTTON_CANCEL);
        page->selectChoice(config_.currentLanguage);
        if (!goesOn(page->runPage())) {
            keepRunning = 0;
            return false;
        }
        config_.selectLanguage(page->selectedChoice());
    }

    std::vector<int> usable;
    for (int p = 0; p < PLATFORM_COUNT; ++p)
        if (config_.installerPresent[p] && !config_.platformFolders[p].empty()) usable.push_back(p);
    if (usable.size() == 1) {
        keepPlatform(usable[0]);
    } else if (usable.size() > 1) {
        auto page = s_.pages->choiceRadioPage();
        if (!page) {
            outOfMemory();
            return false;
        }
        page->setTopText(text(17));
        page->setCaption(standardCaption());
        for (int p : usable) page->addChoice(text(12 + p));
        page->setButtons(BUTTON_NEXT | BUTTON_CANCEL);
        page->selectChoice(0);
        int choice = goesOn(page->runPage()) ? page->selectedChoice() : -1;
        if (choice < 0 || choice >= static_cast<int>(usable.size())) {
            keepRunning = 0;
            return false;
        }
        keepPlatform(usable[static_cast<std::size_t>(choice)]);
    }
    // No platform, or one whose scripts all failed to load: nothing can be offered.
    if (usable.empty() || s_.menuFiles->empty()) {
        auto page = s_.pages->textPage();
        if (!page) {
            outOfMemory();
            return false;
        }
        page->setButtons(BUTTON_FINISH);
        page->setTopText(text(1));
        page->setText(text(20));
        page->runPage();
        return false;
    }
    return showAcceptText("");
}

bool WizardRun::keepPlatform(int platformIndex) {
    if (platformIndex < 0 || platformIndex >= PLATFORM_COUNT) {
        error("Error.\n\nCannot run Setup.");
        return false;
    }
    const std::int32_t code = platformIndex + 2;
    MenuFileList& files = *s_.menuFiles;
    for (std::size_t i = files.size(); i-- > 0;) {
        if (files[i] && files[i]->first().platformCode == code) continue;
        freeMenuFile(files[i]);
        files.erase(files.begin() + static_cast<std::ptrdiff_t>(i));
    }
    return true;
}

int WizardRun::keepMenuFile(std::size_t position) {
    MenuFileList& files = *s_.menuFiles;
    MenuParseEnvironment env;
    env.system = s_.actions.system;
    env.languageCount = config_.getLanguageCount();
    env.progressText = text(24);
    env.messageCaption = s_.messageCaption;
    env.trace = s_.parseTrace;
    int result = MENU_ERR_READ;
    for (std::size_t i = files.size(); i-- > 0;) {
        if (i == position && files[i]) {
            result = loadFullMenuFile(files, i, env);
        } else {
            freeMenuFile(files[i]);
            files.erase(files.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
    return result;
}

bool WizardRun::showAcceptText(const std::string& documentName) {
    auto page = s_.pages->acceptPage();
    if (!page) {
        outOfMemory();
        return false;
    }
    page->setAcceptText(documentName.empty() ? config_.getFileText(0)
                                             : config_.loadTextFile(documentName));
    if (!page->hasAcceptText()) return true;
    page->setAcceptLabel(text(2));
    page->setButtons(BUTTON_NEXT | BUTTON_CANCEL);
    page->setTopText(text(3));
    page->setCaption(standardCaption());
    return page->runPage() == WIZ_NEXT;
}

// ---- the run ----

bool WizardRun::chooseProduct(std::size_t& position) {
    MenuFileList& files = *s_.menuFiles;
    position = 0;
    if (files.size() <= 1) return true;
    std::unique_ptr<ChoiceRunPage> page;
    // More products than the choice page holds are offered as a list, as long radio menus
    // are; the list shows the options of a menu made for it.
    MenuFile listMenu(1);
    if (files.size() > MAX_CHOICES) {
        const int n = static_cast<int>(files.size());
        listMenu.allocateOptions(0, n);
        Menu& m = listMenu.first();
        m.style = MenuStyle::RadioButtons;
        m.optionCount = n;
        for (int i = 0; i < n; ++i) {
            m.options[i].kind = OptionKind::Menu;
            m.options[i].label = listMenu.addText(orEmpty(files[i]->first().title));
        }
        page = s_.pages->radioListViewPage(m);
    } else {
        page = s_.pages->choiceRadioPage();
    }
    if (!page) {
        outOfMemory();
        return false;
    }
    page->setTopText(text(18));
    if (files.size() <= MAX_CHOICES)
        for (const auto& f : files) page->addChoice(expand(f->first().title));
    page->setButtons(BUTTON_NEXT | BUTTON_CANCEL);
    page->selectChoice(0);
    page->setCaption(standardCaption());
    int choice = goesOn(page->runPage()) ? page->selectedChoice() : -1;
    if (choice < 0 || choice >= static_cast<int>(files.size())) return false;
    position = static_cast<std::size_t>(choice);
    return true;
}

bool WizardRun::menuValid(std::int32_t number) const {
    return activeMenuFile && number >= 0 && number < activeMenuFile->menuCount();
}

// Steps 2 to 4 of the run: the chosen script loaded completely and its start menu set up.
// False when the load failed: the parser has said why, and a half-filled script is not shown.
bool WizardRun::startScript() {
    std::size_t position = 0;
    if (!chooseProduct(position)) {
        keepRunning = 0;
        return false;
    }
    int result = keepMenuFile(position);
    MenuFileList& files = *s_.menuFiles;
    activeMenuFile = files.empty() ? nullptr : files.front().get();
    if (result != MENU_OK || !activeMenuFile) {
        activeMenuFile = nullptr;
        keepRunning = 0;
        return false;
    }
    Menu& head = activeMenuFile->first();
    firstMenu = 0;
    if (head.languageStartMenu && config_.currentLanguage >= 0 &&
        config_.currentLanguage < head.languageCount)
        firstMenu = head.languageStartMenu[config_.currentLanguage];
    menuCount = activeMenuFile->menuCount();
    installPending = 0;
    currentMenu = firstMenu;
    history.assign(1, firstMenu);
    depth = 0;
    shownWithoutPage_ = 0;
    if (!menuValid(firstMenu)) return true;  // the page loop reports it
    Menu& start = menuAt(firstMenu);
    pageCaption = expand(start.title) + " Setup";
    docFolder = std::string(orEmpty(start.directory)) + "\\" + orEmpty(head.platformName) + "\\";
    config_.reloadBitmaps(orEmpty(start.directory));
    return true;
}

WizardRun::LoopEnd WizardRun::pageLoop() {
    for (;;) {
        pageMissing_ = false;
        while (keepRunning) {
            int r = runMenuPage();
            if (r == 0) return LoopEnd::ClosingPage;
            if (r == -1) return LoopEnd::Restart;
            if (installPending && confirmInstalls() == 0)
                return pageMissing_ ? LoopEnd::ClosingPage : LoopEnd::Exit;
        }
        if (!installPending) return LoopEnd::ClosingPage;
        runInstallPass();
        if (cancelRequested) return LoopEnd::Exit;
    }
}

void WizardRun::run() {
    for (;;) {
        if (!startScript()) return;
        LoopEnd end = pageLoop();
        if (end == LoopEnd::Restart) continue;
        if (end == LoopEnd::ClosingPage) closingPage();
        return;
    }
}
