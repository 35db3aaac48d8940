#include "run/check.h"

#include "actions/package_installer.h"
#include "platform/control_bytes.h"

namespace {

bool startsWith(const char* text, const char* prefix) {
    return std::string(text).rfind(prefix, 0) == 0;
}

// The name pattern of each install kind's plain (not packaged) files; an install kind is its
// platform's code.
const char* packagePattern(OptionKind kind) {
    const HandheldPlatform* p = platformOfCode(static_cast<std::int32_t>(kind));
    return p ? p->checkPattern : "\\*.*";
}

std::string text(const char* s) {
    return s ? s : "";
}

}  // namespace

void checkPath(bool& ok, std::FILE* report, const std::string& folder, const std::string& name,
               bool isFolder, platform::FileSystem& fs) {
    if (startsWith(name.c_str(), "http://") || startsWith(name.c_str(), "mailto://")) return;
    std::string path = folder + "\\" + name;
    if (fs.exists(path)) return;
    std::fprintf(report, "%s %s not found.\r\n", isFolder ? "Directory" : "File",
                 platform::escapeControlBytes(path).c_str());
    ok = false;
}

CheckOutcome checkAllMenus(std::FILE* report, const MenuFileList& menuFiles,
                           const platform::System& system) {
    CheckOutcome outcome;
    platform::ProceedFlag proceed{1};
    auto display = system.progress->open(&proceed, false, "", false);
    std::uint32_t lastUpdate = system.clock->tickCount();
    for (const MenuFilePtr& file : menuFiles) {
        if (!file) continue;
        for (int n = 0; n < file->menuCount(); ++n) {
            const Menu& menu = (*file)[n];
            // A record that no MENU line filled has no package folder of its own.
            std::string folder = text(menu.directory) + "\\" + text(menu.packageFolder);
            // Names from the disc go into the report with their control bytes escaped.
            const std::string header = "Checking menu " +
                                       platform::escapeControlBytes(text(menu.directory)) + "\\" +
                                       platform::escapeControlBytes(text(menu.platformName)) +
                                       ".mnu:" + std::to_string(n) + "...\r\n";
            std::fputs(header.c_str(), report);
            long mark = std::ftell(report);
            if (display) display->setText(header, 0, menu.optionCount);

            bool folderOk = true;
            checkPath(folderOk, report, text(menu.directory), text(menu.packageFolder), true,
                      *system.fs);
            if (!folderOk) {
                outcome.foldersPresent = outcome.allOk = false;
                continue;
            }
            bool ok = true;
            for (int i = 0; i < menu.optionCount && menu.options; ++i) {
                std::uint32_t now = system.clock->tickCount();
                if (now - lastUpdate >= CHECK_PROGRESS_MS) {
                    lastUpdate = now;
                    if (display) display->setPos(i);
                    if (!system.progress->pumpMessages() || !proceed) {
                        outcome.completed = outcome.allOk = false;
                        return outcome;
                    }
                }
                const MenuOption& option = menu.options[i];
                switch (option.kind) {
                    case OptionKind::Html:
                    case OptionKind::Exe:
                        checkPath(ok, report, folder, text(option.target), false, *system.fs);
                        break;
                    case OptionKind::InstallEpoc:
                    case OptionKind::InstallN9210:
                    case OptionKind::InstallPocketPc:
                    case OptionKind::InstallPalm:
                        actions::checkPackageFiles(*system.fs, ok, report, folder,
                                                   text(option.target),
                                                   packagePattern(option.kind));
                        break;
                    default: break;
                }
            }
            if (std::ftell(report) == mark) std::fputs("All OK.\r\n", report);
            if (!ok) outcome.allOk = false;
        }
    }
    return outcome;
}
