#include "run/wizard_run.h"

#include "actions/document_opener.h"
#include "actions/package_installer.h"
#include "config/setup_config.h"
#include "menu/menu_parser.h"
#include "run/run_pages.h"

WizardRun::WizardRun(RunServices services)
    : context_(std::move(services)), config_(context_.config) {
    context_.s.installer->setCancelCheck([this] { return state_.cancelRequested.load(); });
}

// ---- start-up choices ----

bool WizardRun::runStartupChoices() {
    state_.keepRunning = true;
    if (config_.getLanguageCount() > 1) {
        auto page = context_.s.pages->choiceRadioPage();
        if (!page) {
            context_.outOfMemory();
            return false;
        }
        page->setTopText(context_.text(TEXT_LANGUAGE_HEADING));
        page->setCaption(standardCaption());
        for (const std::string& name : config_.languageNames) page->addChoice(name);
        page->setButtons(BUTTON_NEXT | BUTTON_CANCEL);
        page->selectChoice(config_.currentLanguage);
        if (!goesOn(page->runPage())) {
            state_.keepRunning = false;
            return false;
        }
        config_.selectLanguage(page->selectedChoice());
    }
    return choosePlatform() && showAcceptText("");
}

// No page for a single usable platform, a choice for several; without one the program ends
// on a page that says so.
bool WizardRun::choosePlatform() {
    std::vector<int> usable;
    for (int p = 0; p < PLATFORM_COUNT; ++p)
        if (config_.installerPresent[p] && !config_.platformFolders[p].empty()) usable.push_back(p);
    if (usable.size() == 1) {
        keepPlatform(usable[0]);
    } else if (usable.size() > 1) {
        auto page = context_.s.pages->choiceRadioPage();
        if (!page) {
            context_.outOfMemory();
            return false;
        }
        page->setTopText(context_.text(TEXT_PLATFORM_HEADING));
        page->setCaption(standardCaption());
        for (int p : usable) page->addChoice(context_.text(platformNameText(p)));
        page->setButtons(BUTTON_NEXT | BUTTON_CANCEL);
        page->selectChoice(0);
        int choice = goesOn(page->runPage()) ? page->selectedChoice() : -1;
        if (choice < 0 || choice >= static_cast<int>(usable.size())) {
            state_.keepRunning = false;
            return false;
        }
        keepPlatform(usable[static_cast<std::size_t>(choice)]);
    }
    // No platform, or one whose scripts all failed to load: nothing can be offered.
    if (usable.empty() || context_.s.menuFiles->empty()) {
        auto page = context_.s.pages->textPage();
        if (!page) {
            context_.outOfMemory();
            return false;
        }
        page->setButtons(BUTTON_FINISH);
        page->setTopText(context_.text(TEXT_TITLE));
        page->setText(context_.text(TEXT_NO_PLATFORM));
        page->runPage();
        return false;
    }
    return true;
}

bool WizardRun::keepPlatform(int platformIndex) {
    const HandheldPlatform* platform = platformAt(platformIndex);
    if (!platform) {
        context_.error("Error.\n\nCannot run Setup.");
        return false;
    }
    const auto code = static_cast<std::int32_t>(platform->code);
    MenuFileList& files = *context_.s.menuFiles;
    for (std::size_t i = files.size(); i-- > 0;) {
        if (files[i] && files[i]->first().platformCode == code) continue;
        freeMenuFile(files[i]);
        files.erase(files.begin() + static_cast<std::ptrdiff_t>(i));
    }
    return true;
}

int WizardRun::keepMenuFile(std::size_t position) {
    MenuFileList& files = *context_.s.menuFiles;
    MenuParseEnvironment env;
    env.system = context_.s.actions.system;
    env.languageCount = config_.getLanguageCount();
    env.progressText = context_.text(TEXT_PARSE_PROGRESS);
    env.messageCaption = context_.s.messageCaption;
    env.trace = context_.s.parseTrace;
    env.ansiAsUtf8 = config_.ansiAsUtf8;
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

// ---- the run ----

bool WizardRun::chooseProduct(std::size_t& position) {
    MenuFileList& files = *context_.s.menuFiles;
    position = 0;
    if (files.size() <= 1) return true;
    // More products than the choice page holds are offered as a list, as long radio menus
    // are; the list shows the options of a menu made for it.
    const bool asList = files.size() > static_cast<std::size_t>(MAX_RADIO_BUTTONS);
    std::unique_ptr<ChoiceRunPage> page;
    MenuFile listMenu(1);
    if (asList) {
        const int n = static_cast<int>(files.size());
        listMenu.allocateOptions(0, n);
        Menu& m = listMenu.first();
        m.style = MenuStyle::RadioButtons;
        m.optionCount = n;
        for (int i = 0; i < n; ++i) {
            m.options[i].kind = OptionKind::Menu;
            m.options[i].label = listMenu.addText(orEmpty(files[i]->first().title));
        }
        page = context_.s.pages->radioListViewPage(m);
    } else {
        page = context_.s.pages->choiceRadioPage();
    }
    if (!page) {
        context_.outOfMemory();
        return false;
    }
    page->setTopText(context_.text(TEXT_PRODUCT_HEADING));
    if (!asList)
        for (const auto& f : files) page->addChoice(context_.expand(f->first().title));
    page->setButtons(BUTTON_NEXT | BUTTON_CANCEL);
    page->selectChoice(0);
    page->setCaption(standardCaption());
    int choice = goesOn(page->runPage()) ? page->selectedChoice() : -1;
    if (choice < 0 || choice >= static_cast<int>(files.size())) return false;
    position = static_cast<std::size_t>(choice);
    return true;
}

// The chosen script loaded completely and its start menu set up. False when the load
// failed: the parser has said why, and a half-filled script is not shown.
bool WizardRun::startScript() {
    std::size_t position = 0;
    if (!chooseProduct(position)) {
        state_.keepRunning = false;
        return false;
    }
    int result = keepMenuFile(position);
    MenuFileList& files = *context_.s.menuFiles;
    state_.activeMenuFile = files.empty() ? nullptr : files.front().get();
    if (result != MENU_OK || !state_.activeMenuFile) {
        state_.activeMenuFile = nullptr;
        state_.keepRunning = false;
        return false;
    }
    Menu& head = state_.activeMenuFile->first();
    state_.firstMenu = 0;
    if (head.languageStartMenu && config_.currentLanguage >= 0 &&
        config_.currentLanguage < head.languageCount)
        state_.firstMenu = head.languageStartMenu[config_.currentLanguage];
    state_.menuCount = state_.activeMenuFile->menuCount();
    state_.installPending = false;
    state_.returnToStart();
    state_.shownWithoutPage = 0;
    if (!state_.menuValid(state_.firstMenu)) return true;  // the page loop reports it
    Menu& start = state_.menuAt(state_.firstMenu);
    state_.pageCaption = context_.expand(start.title) + " Setup";
    state_.docFolder =
        std::string(orEmpty(start.directory)) + "\\" + orEmpty(head.platformName) + "\\";
    config_.reloadBitmaps(orEmpty(start.directory));
    return true;
}

WizardRun::Ending WizardRun::pageLoop() {
    for (;;) {
        while (state_.keepRunning) {
            PageOutcome step = pageStep_.run();
            if (step == PageOutcome::LoopOver) return Ending::ClosingPage;
            if (step == PageOutcome::Restart) return Ending::Restart;
            if (!state_.installPending) continue;
            switch (installPass_.confirm()) {
                case Confirmation::Back: break;     // the menu is shown again
                case Confirmation::Install: break;  // keepRunning is off: the pass follows
                case Confirmation::Cancel: return Ending::WithoutClosingPage;
                case Confirmation::PageMissing: return Ending::ClosingPage;
            }
        }
        if (!state_.installPending) return Ending::ClosingPage;
        installPass_.run();
        if (state_.cancelRequested) return Ending::WithoutClosingPage;
    }
}

void WizardRun::run() {
    for (;;) {
        if (!startScript()) return;
        Ending end = pageLoop();
        if (end == Ending::Restart) continue;
        if (end == Ending::ClosingPage) closingPage();
        return;
    }
}

// Offers to open the script's registration address, unless it has none ("-") or a program
// of the disc was started.
void WizardRun::closingPage() {
    const char* url =
        state_.activeMenuFile ? state_.activeMenuFile->first().registrationUrl : nullptr;
    if (!url || std::string(url) == "-" || state_.programStarted) return;
    auto page = context_.s.pages->choiceCheckPage();
    if (!page) {
        context_.outOfMemory();
        return;
    }
    page->setButtons(BUTTON_NEXT | BUTTON_CANCEL);
    page->setConfirmCancel(false);
    page->setTopText(context_.text(TEXT_CLOSING_HEADING));
    page->addChoice(context_.text(TEXT_REGISTER_LABEL));
    page->setChoiceChecked(0, 1);
    page->setAllowEmpty(true);
    if (goesOn(page->runPage()) && page->isChoiceChecked(0))
        actions::DocumentOpener(context_.s.actions, nullptr, url, "", "").openDocument();
}
