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
    // fw::pumpMessage, keeping the code of a WM_QUIT as the exit code.
    bool pumpMessage();

    static Application* current() { return current_; }

protected:
    int exitCode_ = 0;

private:
    static Application* current_;
};

// The whole program: what WinMain does with the one Application.
int runApplication();

// Runs the messages waiting for this thread, then the application's idle processing; false
// when a quit message came (it is posted again, with code 0, for the main loop).
bool pumpWaitingMessages();

}  // namespace fw
