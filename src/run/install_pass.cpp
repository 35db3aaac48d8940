// The install confirmation (the summary page) and the installation pass with its progress
// thread.
#include "actions/package_installer.h"
#include "actions/text_rules.h"
#include "config/setup_config.h"
#include "platform/clock.h"
#include "platform/message_sink.h"
#include "platform/progress_sink.h"
#include "run/progress_thread.h"
#include "run/run_pages.h"
#include "run/wizard_run.h"

namespace {

const char* orEmpty(const char* text) {
    return text ? text : "";
}

bool isInstall(OptionKind kind) {
    return kind >= OptionKind::InstallEpoc && kind <= OptionKind::InstallPalm;
}

bool sameTarget(const MenuOption& a, const MenuOption& b) {
    return a.target && b.target && actions::equalsNoCase(a.target, b.target);
}

}  // namespace

void runProgressThread(ThreadMessageLoop& loop, platform::ProgressSink& sink,
                       platform::Clock& clock, const std::string& title,
                       std::atomic<bool>& cancelRequested) {
    platform::ProceedFlag proceed{1};
    auto display = sink.open(&proceed, false, title, true);
    if (!display) return;
    std::uint32_t last = clock.tickCount();
    while (loop.dispatchNext()) {
        std::uint32_t now = clock.tickCount();
        if (now - last >= PROGRESS_PUMP_MS) {
            sink.pumpMessages();
            last = now;
        }
        // Looked at after every message: the click on Cancel may be the last message the
        // minimized window gets for a long time.
        if (!proceed) cancelRequested = true;
    }
}

// The summary: the labels of the marked install options, then, under text 21, every other
// option that names the same package as one of them. duplicates receives the marked options
// whose package an earlier marked option installs already.
std::string WizardRun::confirmationText(const Menu& menu, std::vector<int>& duplicates) const {
    std::vector<int> taken;
    std::string out;
    for (int i = 0; i < menu.optionCount; ++i) {
        const MenuOption& o = menu.options[i];
        if (!isInstall(o.kind) || menu.optionSelected[i] == 0) continue;
        if (!taken.empty()) out += "\r\n";
        out += expand(o.label);
        for (int earlier : taken) {
            bool earlierIsDuplicate = false;
            for (int d : duplicates) earlierIsDuplicate = earlierIsDuplicate || d == earlier;
            if (!earlierIsDuplicate && sameTarget(menu.options[earlier], o)) {
                duplicates.push_back(i);
                break;
            }
        }
        taken.push_back(i);
    }
    bool headed = false;
    for (int l : taken) {
        bool isDuplicate = false;
        for (int d : duplicates) isDuplicate = isDuplicate || d == l;
        if (isDuplicate) continue;
        bool first = true;
        for (int i = 0; i < menu.optionCount; ++i) {
            const MenuOption& o = menu.options[i];
            if (i == l || o.kind == OptionKind::Menu || o.kind == OptionKind::Quit ||
                !sameTarget(menu.options[l], o))
                continue;
            if (!headed) out += "\r\n" + text(21);
            if (first) out += "\r\n";
            headed = true;
            first = false;
            out += "\r\n" + expand(o.label);
        }
    }
    return out;
}

int WizardRun::confirmInstalls() {
    Menu& menu = menuAt(currentMenu);
    auto page = s_.pages->textPage();
    if (!page) {
        outOfMemory();
        pageMissing_ = true;
        installPending = 0;
        keepRunning = 0;
        return 0;
    }
    shownWithoutPage_ = 0;
    page->setButtons(BUTTON_BACK | BUTTON_NEXT | BUTTON_CANCEL);
    page->setTopText(text(6));
    page->setSideText(orEmpty(menu.version));
    page->setCaption(pageCaption);
    std::vector<int> duplicates;
    page->setText(confirmationText(menu, duplicates));
    int result = page->runPage();
    if (result == WIZ_BACK) {
        installPending = 0;
        keepRunning = 1;
        // Back to the menu the options were chosen on, skipping automatic menus; with only
        // those left, the start menu.
        if (!stepBack()) currentMenu = firstMenu;
    } else if (result == WIZ_NEXT) {
        // Each package file is installed once.
        for (int d : duplicates) menu.optionSelected[d] = 0;
        keepRunning = 0;
    } else {
        installPending = 0;
        --depth;
        keepRunning = 0;
    }
    return installPending || keepRunning ? 1 : 0;
}

void WizardRun::runInstallPass() {
    cancelRequested = false;
    platform::ProgressSink* sink =
        s_.threadProgress ? s_.threadProgress : s_.actions.system.progress;
    platform::Clock* clock = s_.threadClock ? s_.threadClock : s_.actions.system.clock;
    const std::string title = text(1);
    // Without a thread the pass runs without a progress window, and no cancel is possible.
    bool threadRunning =
        s_.progressThread->start([this, sink, clock, title](ThreadMessageLoop& loop) {
            runProgressThread(loop, *sink, *clock, title, cancelRequested);
        });

    if (menuValid(currentMenu)) {
        Menu& menu = menuAt(currentMenu);
        for (int i = 0; i < menu.optionCount; ++i) {
            const MenuOption& o = menu.options[i];
            if (menu.optionSelected[i] != 1 || static_cast<int>(o.kind) != menu.platformCode)
                continue;
            std::string base = std::string(orEmpty(menu.directory)) + "\\" +
                               orEmpty(menu.packageFolder) + "\\" + orEmpty(o.target);
            if (s_.installer->installForPlatform(menu.platformCode - 2, base)) {
                installedSomething = true;
            } else {
                s_.actions.system.messages->showMessage(
                    platform::formatText(text(22), expand(o.label)), s_.messageCaption,
                    platform::MessageIcon::Exclamation);
            }
        }
    }

    installPending = 0;
    keepRunning = 1;
    if (installedSomething) {
        currentMenu = firstMenu;
        history.assign(1, firstMenu);
        depth = 0;
    } else if (depth > 0) {
        --depth;
        currentMenu = history[static_cast<std::size_t>(depth)];
    } else {
        currentMenu = firstMenu;
    }
    if (threadRunning) s_.progressThread->quitAndWait(PROGRESS_THREAD_QUIT_MS);
}
