#include "app/setup_app.h"

#include <cstring>

#include "app/startup_logic.h"

namespace {
SetupApp theApp;
}

bool SetupApp::InitInstance() {
    // The whole command line, program path included, as the system gives it.
    CommandLineFlags flags = readCommandLine(::GetCommandLineA());
    allPlatforms = flags.allPlatforms;
    checkMode = flags.checkMode;
    // The start-up sequence (setup data, installers, splash, choices) builds on this.
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
