#include "actions/package_installer.h"

#include <cstdio>
#include <vector>

#include "actions/install_command.h"
#include "actions/text_rules.h"
#include "platform/control_bytes.h"

namespace actions {

namespace {

constexpr std::size_t TEMP_BUFFER = 260;

std::string trimRight(std::string s) {
    while (!s.empty() && (s.back() == ' ' || (s.back() >= '\t' && s.back() <= '\r'))) s.pop_back();
    return s;
}

std::string withoutTrailingSeparators(std::string s) {
    while (s.size() > 1 && platform::isSeparator(s.back())) s.pop_back();
    return s;
}

// Full paths of the files (not folders) directly in folder, in listing order.
std::vector<std::string> filesIn(platform::FileSystem& fs, const std::string& folder) {
    std::vector<std::string> files;
    auto f = fs.findFirst(folder + "\\*.*");
    if (!f) return files;
    do {
        if (!f->isFolder()) files.push_back(folder + "\\" + f->name());
    } while (f->findNext());
    return files;
}

}  // namespace

PackageInstaller::PackageInstaller(const ActionServices& services, InstallerFinder& finder,
                                   std::string caption)
    : services_(services), finder_(finder), caption_(std::move(caption)) {}

void PackageInstaller::show(const std::string& text) {
    services_.system.messages->showMessage(text, caption_, platform::MessageIcon::Exclamation);
}

bool PackageInstaller::installPsionPackage(const std::string& b) {
    return install(platformTable[0], b);
}
bool PackageInstaller::installNokiaPackage(const std::string& b) {
    return install(platformTable[1], b);
}
bool PackageInstaller::installPocketPcPackage(const std::string& b) {
    return install(platformTable[2], b);
}
bool PackageInstaller::installPalmPackage(const std::string& b) {
    return install(platformTable[3], b);
}

bool PackageInstaller::installForPlatform(int platformIndex, const std::string& basePath) {
    const HandheldPlatform* platform = platformAt(platformIndex);
    return platform && install(*platform, basePath);
}

bool PackageInstaller::install(const HandheldPlatform& rule, const std::string& basePath) {
    platform::FileSystem& fs = *services_.system.fs;
    const std::string& program = finder_.installerProgram(rule.index);
    if (program.empty() && !finder_.findInstaller(rule.index)) {
        show(rule.installerMissing);
        return false;
    }

    bool unpacked = false;
    std::string filePart, palmFolder;
    if (packageExists(basePath)) {
        std::string folder;
        if (!unpackPackage(basePath, folder)) {
            show("Could not unpack APK file!");
            return false;
        }
        unpacked = true;
        if (rule.packagePattern) {
            std::string pattern = rule.packagePattern;
            auto match = fs.findFirst(folder + pattern);
            if (!match) {
                show(rule.filesMissing);
                removeUnpackFolder();
                return false;
            }
            filePart = folder + pattern.substr(0, pattern.rfind('\\') + 1) + match->name();
        } else {
            palmFolder = folder + "\\palm";
        }
    } else if (rule.plainExtension) {
        filePart = trimRight(basePath + rule.plainExtension);
    } else {
        palmFolder = basePath;
    }

    if (rule.packagePattern) {
        filePart = quoteIfBlank(filePart);
    } else {
        filePart = palmFileList(filesIn(fs, palmFolder));
    }

    bool result = false;
    if (filePart.empty()) {
        show("Installation option is undefined!");
    } else {
        bool started = runInstaller(installerCommandLine(program, filePart), rule.pollMs);
        // A failed start has shown its message; only Palm lets it fail the option.
        result = rule.packagePattern ? true : started;
    }
    if (unpacked) removeUnpackFolder();
    return result;
}

bool PackageInstaller::packageExists(const std::string& basePath) {
    return services_.system.fs->exists(basePath + ".APK");
}

bool PackageInstaller::createTemporaryParent(std::string& parent) {
    std::string temp;
    if (!services_.environment->expand("%TMP%", TEMP_BUFFER, temp)) return false;
    temp = withoutTrailingSeparators(temp);
    // An unset variable stays as written: there is no temporary folder then.
    platform::FileSystem& fs = *services_.system.fs;
    if (temp.empty() || temp.find('%') != std::string::npos || !fs.isFolder(temp)) return false;
    // A folder that did not exist before, so that removing it destroys nothing of others.
    std::uint32_t seed = services_.system.clock->tickCount();
    for (std::uint32_t i = 0; i < 1000; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "\\Setup-%08X", static_cast<unsigned>(seed + i));
        if (fs.createFolder(temp + name)) {
            parent = temp + name;
            return true;
        }
    }
    return false;
}

bool PackageInstaller::unpackPackage(const std::string& basePath, std::string& folder) {
    std::string packagePath = basePath + ".APK";
    std::size_t sep = platform::lastSeparator(basePath);
    std::string name = sep == std::string::npos ? basePath : basePath.substr(sep + 1);

    bool chosenHere = folder.empty();
    if (chosenHere) {
        removeUnpackFolder();  // at most one temporary folder at a time
        std::string parent;
        if (!createTemporaryParent(parent)) return false;
        createdFolder_ = parent;
        // The package's name stays the folder's own name, as installers may show it.
        folder = name.empty() || name == "." || name == ".." ? parent : parent + "\\" + name;
    }
    unpackFolder_ = folder;
    if (services_.extract(packagePath, folder) == 0) return true;
    if (chosenHere) removeUnpackFolder();
    return false;
}

void PackageInstaller::removeUnpackFolder() {
    if (createdFolder_.empty()) return;
    deleteFolderTree(*services_.system.fs, createdFolder_);
    createdFolder_.clear();
}

bool PackageInstaller::runInstaller(const std::string& commandLine, std::uint32_t pollMs) {
    std::uint32_t error = 0;
    auto process = services_.processes->start(commandLine, error);
    if (!process) {
        char text[96];
        std::snprintf(text, sizeof text, "Could not start installation process.\nError returned:%u",
                      static_cast<unsigned>(error));
        show(text);
        return false;
    }
    // Only the waiting stops on a cancel; the installer is never terminated.
    std::uint32_t code = 0;
    bool readable = process->exitCode(code);
    while (readable && code == platform::STILL_ACTIVE_CODE) {
        services_.processes->sleep(pollMs);
        if (cancelled_ && cancelled_()) break;
        readable = process->exitCode(code);
    }
    return true;
}

void PackageInstaller::checkPackageFiles(bool& ok, std::FILE* report, const std::string& folder,
                                         const std::string& name, const std::string& pattern) {
    actions::checkPackageFiles(*services_.system.fs, ok, report, folder, name, pattern);
}

void checkPackageFiles(platform::FileSystem& fs, bool& ok, std::FILE* report,
                       const std::string& folder, const std::string& name,
                       const std::string& pattern) {
    std::string base = folder + "\\" + name;
    if (fs.exists(base + ".APK")) return;
    if (fs.findFirst(base + pattern)) return;
    if (report) {
        std::string shownName = platform::escapeControlBytes(name);
        std::fprintf(report, "Neither files %s%s nor %s.apk in %s not found.\r\n",
                     shownName.c_str(), pattern.c_str(), shownName.c_str(),
                     platform::escapeControlBytes(folder).c_str());
    }
    ok = false;
}

bool deleteFolderTree(platform::FileSystem& fs, const std::string& folder) {
    bool ok = true;
    if (auto f = fs.findFirst(folder + "\\*.*")) {
        do {
            std::string path = folder + "\\" + f->name();
            ok = (f->isFolder() ? deleteFolderTree(fs, path) : fs.deleteFile(path)) && ok;
        } while (f->findNext());
    }
    return fs.removeFolder(folder) && ok;
}

}  // namespace actions
