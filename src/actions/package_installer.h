#pragma once
// Carries out install options: unpacks a package into a temporary folder, hands its files to
// the platform's desktop installer and waits for that to end.
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "actions/action_services.h"
#include "actions/installer_finder.h"

namespace actions {

class PackageInstaller {
public:
    // caption: the title of every message box (the application's name).
    PackageInstaller(const ActionServices& services, InstallerFinder& finder, std::string caption);
    PackageInstaller(const PackageInstaller&) = delete;
    PackageInstaller& operator=(const PackageInstaller&) = delete;

    // Asked between polls of a running installer; true gives up the wait (the installer
    // itself keeps running).
    void setCancelCheck(std::function<bool()> cancelled) { cancelled_ = std::move(cancelled); }

    // basePath: menu folder, package folder and option target, without extension. True when
    // the option counts as carried out.
    bool installPsionPackage(const std::string& basePath);
    bool installNokiaPackage(const std::string& basePath);
    bool installPocketPcPackage(const std::string& basePath);
    bool installPalmPackage(const std::string& basePath);
    // The operation of platform index 0..3 (EPOC, N9210, POCKETPC, PALM); false for others.
    bool installForPlatform(int platformIndex, const std::string& basePath);

    bool packageExists(const std::string& basePath);
    // Unpacks basePath + ".APK" into folder. An empty folder means a new temporary one,
    // whose path is stored back into folder.
    bool unpackPackage(const std::string& basePath, std::string& folder);
    // Deletes the temporary folder this object created; a folder given by the caller is
    // never deleted.
    void removeUnpackFolder();
    const std::string& unpackFolder() const { return unpackFolder_; }

    // True when the process started, whatever its exit code.
    bool runInstaller(const std::string& commandLine, std::uint32_t pollMs);

    // Check mode: reports to report when neither folder\name + ".APK" nor a match of
    // folder\name + pattern exists, and then clears ok.
    void checkPackageFiles(bool& ok, std::FILE* report, const std::string& folder,
                           const std::string& name, const std::string& pattern);

private:
    bool install(const HandheldPlatform& rule, const std::string& basePath);
    bool createTemporaryParent(std::string& parent);
    void show(const std::string& text);

    ActionServices services_;
    InstallerFinder& finder_;
    std::string caption_;
    std::function<bool()> cancelled_;
    std::string unpackFolder_;
    std::string createdFolder_;  // the temporary parent made by unpackPackage, until removed
};

// Check mode: reports to report when neither folder\name + ".APK" nor a match of
// folder\name + pattern exists, and then clears ok.
void checkPackageFiles(platform::FileSystem& fs, bool& ok, std::FILE* report,
                       const std::string& folder, const std::string& name,
                       const std::string& pattern);

// Deletes everything below folder and then folder itself, going on after failures; true
// when every deletion succeeded.
bool deleteFolderTree(platform::FileSystem& fs, const std::string& folder);

}  // namespace actions
