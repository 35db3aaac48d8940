#include "app/setup_app.h"

#include "app/single_instance.h"
#include "app/startup_logic.h"
#include "app/system_drives.h"

namespace {
SetupApp theApp;
}

std::string SetupApp::programPath() const {
    char path[1024];
    DWORD n = ::GetModuleFileNameA(nullptr, path, sizeof path);
    if (n == 0 || n >= sizeof path) return "";
    return std::string(path, n);
}

void SetupApp::showStartupMessage(const std::string& text) {
    std::string name = programPath();
    std::size_t sep = name.find_last_of("\\/");
    if (sep != std::string::npos) name.erase(0, sep + 1);
    messages_.showMessage(text, withoutExtension(name), platform::MessageIcon::None);
}

bool SetupApp::locateSetupData() {
    SystemDrives drives;
    return ::locateSetupData(programPath(), platform::systemFileSystem(), drives, SetupDataDir);
}

bool SetupApp::InitInstance() {
    if (!isOnlyInstance()) {
        showStartupMessage("This application could only be started once.");
        return false;
    }
    // The whole command line, program path included, as the system gives it.
    CommandLineFlags flags = readCommandLine(::GetCommandLineA());
    allPlatforms = flags.allPlatforms;
    checkMode = flags.checkMode;
    if (!locateSetupData()) {
        showStartupMessage("No SETUP information found on disk or CD-ROM");
        return false;
    }
    // The splash, the loader and the wizard build on this.
    return false;
}

int SetupApp::Run() { return fw::Application::Run(); }

int SetupApp::ExitInstance() {
    for (auto& f : menuFiles) freeMenuFile(f);
    menuFiles.clear();
    return fw::Application::ExitInstance();
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
    return fw::runApplication(instance, commandLine, show);
}
