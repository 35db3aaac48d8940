#include "app/setup_app.h"

#include "app/single_instance.h"
#include "app/system_drives.h"
#include "fw/common_controls.h"
#include "fw/dpi.h"
#include "platform/win32/wide_text_win.h"
#include "platform/written_text.h"
#include "rules/dpi_scale.h"
#include "rules/wizard_constants.h"
#include "run/check.h"
#include "run/loader.h"
#include "run/startup.h"
#include "skin/splash_dialog.h"

namespace {
SetupApp theApp;
}

SetupApp::SetupApp()
    : services_(actions::systemActionServices(platform::System{
          &platform::systemFileSystem(), &messages_, &progress_, &platform::systemClock()})),
      finder_(*services_.registry),
      installer_(std::make_unique<actions::PackageInstaller>(services_, finder_, programTitle())) {
    config.setSkinLoader(&skins_);
    // Its windows and file layer take UTF-8 through the wide functions: every text whole.
    config.unicodeTexts = true;
    config.ansiAsUtf8 = true;
}

SetupApp::~SetupApp() = default;

std::string SetupApp::programPath() const {
    wchar_t path[1024];
    DWORD n = ::GetModuleFileNameW(nullptr, path, 1024);
    if (n == 0 || n >= 1024) return "";
    return platform::win32::narrow(std::wstring_view(path, n));
}

std::string SetupApp::programTitle() const {
    std::string name = programPath();
    std::size_t sep = name.find_last_of("\\/");
    if (sep != std::string::npos) name.erase(0, sep + 1);
    return withoutExtension(name);
}

void SetupApp::showStartupMessage(const std::string& text) {
    messages_.showMessage(text, programTitle(), platform::MessageIcon::Exclamation);
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

// Without any platform's desktop software there is nothing to install: say so and end. The
// texts come from the disc; a disc whose settings cannot be loaded has none, and gets the
// fixed fatal message instead of an empty box.
bool SetupApp::findDesktopSoftware() {
    if (actions::detectInstallers(config.allPlatforms, config.installerPresent, finder_))
        return true;
    SetupDataDir = folderOf(SetupDataDir);
    if (config.load(SetupDataDir))  // the plain system box, without an icon
        messages_.showMessage(config.getText(TEXT_NO_INSTALLER), config.getText(TEXT_TITLE),
                              platform::MessageIcon::None);
    else
        showStartupMessage("Error.\n\nCannot run Setup.");
    return false;
}

// The splash shows while the loader thread reads the settings and the scripts. The
// configuration knows the data folder before the splash asks it for its picture and colour.
bool SetupApp::loadBehindSplash() {
    config.setSetupDataDir(folderOf(SetupDataDir));
    std::string picture;
    config.getBitmapPath(SKIN_SPLASH, picture);
    platform::System system{&platform::systemFileSystem(), &messages_, &progress_,
                            &platform::systemClock()};
    LoaderJob job{&SetupDataDir, &config,       &menuFiles, checkMode || previewMode,
                  system,        programTitle()};
    // The preview shows no splash: nobody looks at it, and its minimum time would be waited.
    if (previewMode) {
        if (runLoader(job) == LOADER_SUCCESS) return true;
        showStartupMessage("Error.\n\nCannot run Setup.");
        return false;
    }
    SplashDialog splash(picture, config.getSplashColour(), config.getText(TEXT_TITLE),
                        [&job] { return runLoader(job); });
    // No window (-1) means nothing was loaded either.
    INT_PTR result = splash.doModal();
    if (result == SPLASH_FAILED || result == -1) {
        showStartupMessage("Error.\n\nCannot run Setup.");
        return false;
    }
    return true;
}

// Check mode: the report of missing files in the current folder instead of the wizard.
void SetupApp::writeCheckReport() {
    platform::FileSystem& fs = platform::systemFileSystem();
    // Never written through a link or a second name of another file.
    platform::FilePtr report = fs.openPlainFile("report.txt", platform::CreateMode::Replace);
    if (!report) {
        std::string folder;
        fs.currentFolder(folder);
        showStartupMessage("report.txt cannot be created in the folder " + folder + ".");
        return;
    }
    platform::System system{&fs, &messages_, &progress_, &platform::systemClock()};
    checkAllMenus(report.get(), menuFiles, system);
    report.reset();
    // The names it holds are UTF-8; the file stays ANSI, byte for byte, unless a character
    // does not fit the code page.
    std::string text;
    if (platform::FilePtr written = fs.openRegularFile("report.txt")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, written.get())) > 0;)
            text.append(buffer, n);
    }
    platform::WrittenText content;
    content.append(text, platform::TextEncoding::Utf8);
    const std::string bytes = content.fileBytes();
    if (bytes == text) return;
    if (platform::FilePtr anew = fs.openPlainFile("report.txt", platform::CreateMode::Replace))
        std::fwrite(bytes.data(), 1, bytes.size(), anew.get());
}

bool SetupApp::initInstance() {
    fw::enableDpiAwareness();
    // The whole command line, program path included, as the system gives it.
    CommandLineFlags flags = readCommandLine(platform::win32::narrow(::GetCommandLineW()));
    config.allPlatforms = flags.allPlatforms;
    checkMode = flags.checkMode;
    previewMode = flags.previewMode;
    if (previewMode) messages_.printInstead();
    if (!isOnlyInstance()) {
        showStartupMessage("This application could only be started once.");
        return false;
    }
    fw::initCommonControls();
    if (!locateSetupData()) {
        showStartupMessage("No SETUP information found on disk or CD-ROM");
        return false;
    }
    if (!unpackStartupPackage()) return false;
    if (!findDesktopSoftware()) return false;
    if (!loadBehindSplash()) return false;
    const int dpi = fw::systemDpi();
    config.wizardRect =
        centredRect(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN),
                    scaleToDpi(WIZARD_WIDTH, dpi), scaleToDpi(WIZARD_HEIGHT, dpi));
    if (checkMode) {
        writeCheckReport();
        return false;
    }
    if (previewMode) {
        previewExit_ = writePreview();
        return false;
    }
    return runStartupChoices();
}

int SetupApp::exitInstance() {
    for (auto& f : menuFiles) freeMenuFile(f);
    menuFiles.clear();
    if (previewMode) return previewExit_;
    return fw::Application::exitInstance();
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return fw::runApplication();
}
