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

bool Application::onIdle(long) {
    return false;
}

bool Application::pumpMessage() {
    MSG msg;
    BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
    if (got <= 0) {
        exitCode_ = got == 0 ? static_cast<int>(msg.wParam) : -1;
        return false;
    }
    dispatchMessage(msg);
    return true;
}

int Application::run() {
    for (;;) {
        MSG msg;
        long idle = 0;
        while (!::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && onIdle(idle++)) {
        }
        if (!pumpMessage()) break;
    }
    return exitInstance();
}

int runApplication(HINSTANCE instance, const char* commandLine, int show) {
    Application* app = Application::current();
    if (!app) return 1;
    app->setStartup(instance, commandLine, show);
    if (!app->initInstance()) return app->exitInstance();
    return app->run();
}

}  // namespace fw
