#include "fw/thread.h"

#include <process.h>

#include <memory>

namespace fw {

namespace {
constexpr DWORD REPOST_MS = 250;

struct Start {
    std::function<DWORD()> body;
    HANDLE ready;
};

unsigned __stdcall threadMain(void* param) {
    std::unique_ptr<Start> start(static_cast<Start*>(param));
    MSG msg;
    // Makes the queue before anyone is told that the thread runs.
    ::PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    ::SetEvent(start->ready);
    try {
        return start->body();
    } catch (...) {
        return Thread::FAILED;
    }
}
}  // namespace

Thread::~Thread() {
    if (running()) quitAndWait();
}

bool Thread::start(std::function<DWORD()> body) {
    if (running()) return false;
    platform::win32::KernelHandle ready(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!ready) return false;
    auto start = std::make_unique<Start>(Start{std::move(body), ready.get()});
    unsigned id = 0;
    auto handle =
        reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, &threadMain, start.get(), 0, &id));
    if (!handle) return false;
    start.release();  // the thread owns it now
    handle_.reset(handle);
    id_ = id;
    HANDLE both[] = {ready.get(), handle};
    ::WaitForMultipleObjects(2, both, FALSE, INFINITE);
    return true;
}

bool Thread::running() const {
    return handle_ && ::WaitForSingleObject(handle_.get(), 0) == WAIT_TIMEOUT;
}

DWORD Thread::quitAndWait(DWORD timeoutMs) {
    return waitFor(true, timeoutMs);
}

DWORD Thread::wait() {
    return waitFor(false, INFINITE);
}

DWORD Thread::waitFor(bool postQuit, DWORD timeoutMs) {
    if (!handle_) return FAILED;
    HANDLE handle = handle_.get();
    const DWORD started = ::GetTickCount();
    if (postQuit) ::PostThreadMessageA(id_, WM_QUIT, 0, 0);
    for (;;) {
        DWORD r = ::MsgWaitForMultipleObjects(1, &handle, FALSE, REPOST_MS, QS_SENDMESSAGE);
        if (r == WAIT_OBJECT_0 || r == WAIT_FAILED) break;
        if (r == WAIT_OBJECT_0 + 1) {
            MSG msg;
            ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        } else if (timeoutMs != INFINITE && ::GetTickCount() - started >= timeoutMs) {
            // Closing the handle does not stop the thread; waiting again would block.
            handle_.reset();
            id_ = 0;
            return STILL_ACTIVE;
        } else if (postQuit) {
            ::PostThreadMessageA(id_, WM_QUIT, 0, 0);
        }
    }
    DWORD code = FAILED;
    ::GetExitCodeThread(handle, &code);
    return code;
}

}  // namespace fw
