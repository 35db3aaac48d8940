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

bool Application::onIdle(long) {
    return false;
}

bool Application::pumpMessage() {
    return fw::pumpMessage(exitCode_);
}

int Application::run() {
    for (;;) {
        MSG msg;
        long idle = 0;
        while (!::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE) && onIdle(idle++)) {
        }
        if (!pumpMessage()) break;
    }
    return exitInstance();
}

int runApplication() {
    Application* app = Application::current();
    if (!app) return 1;
    if (!app->initInstance()) return app->exitInstance();
    return app->run();
}

bool pumpWaitingMessages() {
    Application* app = Application::current();
    MSG msg;
    int quitCode = 0;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
        if (!(app ? app->pumpMessage() : fw::pumpMessage(quitCode))) {
            ::PostQuitMessage(0);
            return false;
        }
    }
    if (app)
        for (long count = 0; app->onIdle(count); ++count) {
        }
    return true;
}

}  // namespace fw
