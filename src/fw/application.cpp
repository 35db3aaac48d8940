#include "fw/application.h"

#include "fw/message_loop.h"

namespace fw {

Application* Application::current_ = nullptr;

Application::Application() {
    current_ = this;
}

Application::~Application() {
    if (current_ == this) current_ = nullptr;
}

void Application::setStartup(HINSTANCE instance, const char* commandLine, int show) {
    instance_ = instance;
    commandLine_ = commandLine;
    show_ = show;
}

bool Application::OnIdle(long) {
    return false;
}

bool Application::PumpMessage() {
    MSG msg;
    BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
    if (got <= 0) {
        exitCode_ = got == 0 ? static_cast<int>(msg.wParam) : -1;
        return false;
    }
    dispatchMessage(msg);
    return true;
}

int Application::Run() {
    for (;;) {
        MSG msg;
        long idle = 0;
        while (!::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && OnIdle(idle++)) {
        }
        if (!PumpMessage()) break;
    }
    return ExitInstance();
}

int runApplication(HINSTANCE instance, const char* commandLine, int show) {
    Application* app = Application::current();
    if (!app) return 1;
    app->setStartup(instance, commandLine, show);
    if (!app->InitInstance()) return app->ExitInstance();
    return app->Run();
}

}  // namespace fw
