#include "run/install_pass.h"

#include "actions/package_installer.h"
#include "actions/text_rules.h"
#include "config/setup_config.h"
#include "platform/clock.h"
#include "platform/message_sink.h"
#include "platform/progress_sink.h"
#include "run/progress_thread.h"
#include "run/run_pages.h"

namespace {

bool sameTarget(const MenuOption& a, const MenuOption& b) {
    return a.target && b.target && actions::equalsNoCase(a.target, b.target);
}

bool contains(const std::vector<int>& list, int value) {
    for (int v : list)
        if (v == value) return true;
    return false;
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

// The labels of the marked install options, then, under TEXT_SAME_PACKAGE, every other
// option that names the same package as one of them. duplicates receives the marked options
// whose package an earlier marked option installs already.
std::string InstallPass::summaryText(const Menu& menu, std::vector<int>& duplicates) const {
    std::vector<int> taken;
    std::string out;
    for (int i = 0; i < menu.optionCount; ++i) {
        const MenuOption& o = menu.options[i];
        if (!isInstall(o.kind) || menu.optionSelected[i] == 0) continue;
        if (!taken.empty()) out += "\r\n";
        out += c_.expand(o.label);
        for (int earlier : taken) {
            if (!contains(duplicates, earlier) && sameTarget(menu.options[earlier], o)) {
                duplicates.push_back(i);
                break;
            }
        }
        taken.push_back(i);
    }
    bool headed = false;
    for (int l : taken) {
        if (contains(duplicates, l)) continue;
        bool first = true;
        for (int i = 0; i < menu.optionCount; ++i) {
            const MenuOption& o = menu.options[i];
            if (i == l || o.kind == OptionKind::Menu || o.kind == OptionKind::Quit ||
                !sameTarget(menu.options[l], o))
                continue;
            if (!headed) out += "\r\n" + c_.text(TEXT_SAME_PACKAGE);
            if (first) out += "\r\n";
            headed = true;
            first = false;
            out += "\r\n" + c_.expand(o.label);
        }
    }
    return out;
}

Confirmation InstallPass::confirm() {
    Menu& menu = state_.menuAt(state_.currentMenu);
    auto page = c_.s.pages->textPage();
    if (!page) {
        c_.outOfMemory();
        state_.installPending = false;
        state_.keepRunning = false;
        return Confirmation::PageMissing;
    }
    state_.shownWithoutPage = 0;
    page->setButtons(BUTTON_BACK | BUTTON_NEXT | BUTTON_CANCEL);
    page->setTopText(c_.text(TEXT_SUMMARY_HEADING));
    page->setSideText(orEmpty(menu.version));
    page->setCaption(state_.pageCaption);
    std::vector<int> duplicates;
    page->setText(summaryText(menu, duplicates));
    const int result = page->runPage();
    if (result == WIZ_BACK) {
        state_.installPending = false;
        state_.keepRunning = true;
        // Back to the menu the options were chosen on, skipping automatic menus; with only
        // those left, the start menu.
        if (!state_.stepBack()) state_.currentMenu = state_.firstMenu;
        return Confirmation::Back;
    }
    state_.keepRunning = false;
    if (result == WIZ_NEXT) {
        // Each package file is installed once.
        for (int d : duplicates) menu.optionSelected[d] = 0;
        return Confirmation::Install;
    }
    state_.installPending = false;
    --state_.depth;
    return Confirmation::Cancel;
}

void InstallPass::run() {
    RunServices& s = c_.s;
    state_.cancelRequested = false;
    platform::ProgressSink* sink = s.threadProgress ? s.threadProgress : s.actions.system.progress;
    platform::Clock* clock = s.threadClock ? s.threadClock : s.actions.system.clock;
    const std::string title = c_.text(TEXT_TITLE);
    // Without a thread the pass runs without a progress window, and no cancel is possible.
    bool threadRunning =
        s.progressThread->start([this, sink, clock, title](ThreadMessageLoop& loop) {
            runProgressThread(loop, *sink, *clock, title, state_.cancelRequested);
        });

    installMarkedOptions();

    state_.installPending = false;
    state_.keepRunning = true;
    if (state_.installedSomething) {
        state_.returnToStart();
    } else if (state_.depth > 0) {
        --state_.depth;
        state_.currentMenu = state_.history[static_cast<std::size_t>(state_.depth)];
    } else {
        state_.currentMenu = state_.firstMenu;
    }
    if (threadRunning) s.progressThread->quitAndWait(PROGRESS_THREAD_QUIT_MS);
}

// The marked options of the menu's own platform, each from its package below the script's
// folder; a failure is reported and the next option goes on.
void InstallPass::installMarkedOptions() {
    if (!state_.menuValid(state_.currentMenu)) return;
    Menu& menu = state_.menuAt(state_.currentMenu);
    const HandheldPlatform* handheld = platformOfCode(menu.platformCode);
    for (int i = 0; i < menu.optionCount; ++i) {
        const MenuOption& o = menu.options[i];
        if (menu.optionSelected[i] != 1 || static_cast<int>(o.kind) != menu.platformCode) continue;
        std::string base = std::string(orEmpty(menu.directory)) + "\\" +
                           orEmpty(menu.packageFolder) + "\\" + orEmpty(o.target);
        if (handheld && c_.s.installer->installForPlatform(handheld->index, base)) {
            state_.installedSomething = true;
        } else {
            c_.s.actions.system.messages->showMessage(
                platform::formatText(c_.text(TEXT_INSTALL_FAILED), c_.expand(o.label)),
                c_.s.messageCaption, platform::MessageIcon::Exclamation);
        }
    }
}
