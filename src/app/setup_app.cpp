#include "app/setup_app.h"

#include "app/single_instance.h"
#include "app/startup_logic.h"
#include "app/system_drives.h"

namespace {
SetupApp theApp;
}

SetupApp::SetupApp()
    : services_(actions::systemActionServices(platform::System{
          &platform::systemFileSystem(), &messages_, &progress_, &platform::systemClock()})),
      finder_(*services_.registry),
      installer_(std::make_unique<actions::PackageInstaller>(services_, finder_, programTitle())) {
    config.setSkinLoader(&skins_);
}

SetupApp::~SetupApp() = default;

std::string SetupApp::programPath() const {
    char path[1024];
    DWORD n = ::GetModuleFileNameA(nullptr, path, sizeof path);
    if (n == 0 || n >= sizeof path) return "";
    return std::string(path, n);
}

std::string SetupApp::programTitle() const {
    std::string name = programPath();
    std::size_t sep = name.find_last_of("\\/");
    if (sep != std::string::npos) name.erase(0, sep + 1);
    return withoutExtension(name);
}

void SetupApp::showStartupMessage(const std::string& text) {
    messages_.showMessage(text, programTitle(), platform::MessageIcon::None);
}

bool SetupApp::locateSetupData() {
    SystemDrives drives;
    return ::locateSetupData(programPath(), platform::systemFileSystem(), drives, SetupDataDir);
}

// A package named like the program with ".APK" is unpacked beside it and deleted; false
// when it cannot be deleted afterwards. A package that failed to unpack is kept, as it may be
// the only copy of the setup data, and the start-up ends after the unpacker's own message.
bool SetupApp::unpackStartupPackage() {
    if (SetupDataDir.empty() && !locateSetupData()) return false;
    std::string base = withoutExtension(SetupDataDir);
    if (!installer_->packageExists(base)) return true;
    std::string folder = folderOf(base);
    if (!installer_->unpackPackage(base, folder)) return false;
    return platform::systemFileSystem().deleteFile(base + ".APK");
}

// Without any platform's desktop software there is nothing to install: say so and end.
bool SetupApp::findDesktopSoftware() {
    if (actions::detectInstallers(config.allPlatforms, config.installerPresent, finder_))
        return true;
    SetupDataDir = folderOf(SetupDataDir);
    config.load(SetupDataDir);
    ::MessageBoxA(nullptr, config.getText(16).c_str(), config.getText(1).c_str(), MB_OK);
    return false;
}

bool SetupApp::InitInstance() {
    if (!isOnlyInstance()) {
        showStartupMessage("This application could only be started once.");
        return false;
    }
    // The whole command line, program path included, as the system gives it.
    CommandLineFlags flags = readCommandLine(::GetCommandLineA());
    config.allPlatforms = flags.allPlatforms;
    checkMode = flags.checkMode;
    if (!locateSetupData()) {
        showStartupMessage("No SETUP information found on disk or CD-ROM");
        return false;
    }
    if (!unpackStartupPackage()) return false;
    if (!findDesktopSoftware()) return false;
    // The splash, the loader and the wizard build on this.
    return false;
}

int SetupApp::Run() {
    return fw::Application::Run();
}

int SetupApp::ExitInstance() {
    for (auto& f : menuFiles) freeMenuFile(f);
    menuFiles.clear();
    return fw::Application::ExitInstance();
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
    return fw::runApplication(instance, commandLine, show);
}
