#pragma once
// The application object of our thin framework: one per program, created statically;
// WinMain calls initInstance, then run when it succeeded, and exitInstance for the exit code.
#include <windows.h>

namespace fw {

class Application {
public:
    Application();
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    virtual bool initInstance() { return true; }
    // The message loop; returns exitInstance's result.
    virtual int run();
    virtual int exitInstance() { return exitCode_; }
    // Idle processing between messages; true while there is more to do.
    virtual bool onIdle(long count);
    // Takes one message and hands it to its dialog or dispatches it; false on WM_QUIT (or a
    // failure of GetMessage).
    bool pumpMessage();

    HINSTANCE instance() const { return instance_; }
    const char* commandLine() const { return commandLine_; }
    void setStartup(HINSTANCE instance, const char* commandLine, int show);
    static Application* current() { return current_; }

protected:
    int exitCode_ = 0;

private:
    HINSTANCE instance_ = nullptr;
    const char* commandLine_ = "";
    int show_ = SW_SHOWNORMAL;
    static Application* current_;
};

// The whole program: what WinMain does with the one Application.
int runApplication(HINSTANCE instance, const char* commandLine, int show);

}  // namespace fw
