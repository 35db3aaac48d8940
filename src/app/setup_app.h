#pragma once
#include <memory>
#include <string>

#include "actions/installer_finder.h"
#include "actions/package_installer.h"
#include "app/progress_worker_thread.h"
#include "app/setup_messages.h"
#include "app/wizard_page_factory.h"
#include "config/setup_config.h"
#include "fw/application.h"
#include "menu/menu_file.h"
#include "run/wizard_run.h"
#include "skin/bitmap_image.h"
#include "skin/dialog_progress_sink.h"

// The one application object of Setup.exe.
class SetupApp : public fw::Application {
public:
    SetupApp();
    ~SetupApp() override;

    bool initInstance() override;
    int run() override;
    int exitInstance() override;

    bool locateSetupData();

    bool checkMode = false;
    bool previewMode = false;
    SetupConfig config;
    MenuFileList menuFiles;
    std::string SetupDataDir;

private:
    // Start-up messages: an OK box captioned with the program's name without extension, with
    // the icon the framework gives such a box.
    void showStartupMessage(const std::string& text);
    bool unpackStartupPackage();
    bool findDesktopSoftware();
    bool loadBehindSplash();
    void writeCheckReport();
    // Preview mode: the pictures, layout.json and the findings; the exit code.
    int writePreview();
    // The last step of the start-up: language, platform and start-up text; false ends the
    // program. run then leads through the wizard.
    bool runStartupChoices();
    std::string programPath() const;
    std::string programTitle() const;

    GdiSkinLoader skins_;
    SetupMessages messages_;
    DialogProgressSink progress_;
    actions::ActionServices services_;
    actions::InstallerFinder finder_;
    std::unique_ptr<actions::PackageInstaller> installer_;
    WizardPageFactory pages_{WizardEnvironment{&config, &messages_}};
    ProgressWorkerThread progressThread_;
    std::unique_ptr<WizardRun> wizard_;
    int previewExit_ = 2;  // the disc could not be read, until the preview is written
};
