#pragma once
#include "fw/application.h"
#include "menu/menu_file.h"

// The one application object of Setup.exe.
class SetupApp : public fw::Application {
public:
    bool InitInstance() override;
    int Run() override;
    int ExitInstance() override;

    bool allPlatforms = false;
    bool checkMode = false;
    MenuFileList menuFiles;
};
