#pragma once
#include <string>

#include "fw/application.h"
#include "menu/menu_file.h"
#include "platform/win32/message_box_win.h"

// The one application object of Setup.exe.
class SetupApp : public fw::Application {
public:
    bool InitInstance() override;
    int Run() override;
    int ExitInstance() override;

    bool locateSetupData();

    bool allPlatforms = false;
    bool checkMode = false;
    MenuFileList menuFiles;
    std::string SetupDataDir;

private:
    // Start-up messages: an OK box captioned with the program's name without extension.
    void showStartupMessage(const std::string& text);
    std::string programPath() const;

    platform::MessageBoxSink messages_;
};
