// The dialog class run for real: modal results, creation, keys through the message loops,
// control colours and the exception barrier.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "fw/application.h"
#include "fw/dialog.h"
#include "fw/message_loop.h"
#include "fw/thread.h"
#include "resource.h"

namespace {

constexpr DWORD TIMEOUT_MS = 20000;
constexpr UINT END_WITH = WM_APP + 1;  // wParam: the value to end with

enum class Fault { None, CreateFails, CreateThrows, InitThrows, CommandThrows };

// Records what reaches it; ends itself with the value of a posted END_WITH.
class Probe : public fw::Dialog {
public:
    explicit Probe(int templateId, Fault fault = Fault::None) : Dialog(templateId), fault_(fault) {}
    std::vector<std::string> seen;
    bool endsItself = true;  // posts END_WITH 7 once initialised

protected:
    bool onCreate(const CREATESTRUCTA& cs) override {
        seen.push_back(cs.hInstance == ::GetModuleHandleA(nullptr) ? "create" : "create?");
        if (fault_ == Fault::CreateThrows) throw std::runtime_error("create");
        return fault_ != Fault::CreateFails;
    }
    bool onInitDialog() override {
        seen.push_back("init");
        if (fault_ == Fault::InitThrows) throw std::bad_alloc();
        if (endsItself) ::PostMessageA(hwnd(), END_WITH, 7, 0);
        return true;
    }
    std::optional<LRESULT> onMessage(UINT message, WPARAM wParam, LPARAM) override {
        if (message != END_WITH) return std::nullopt;
        if (fault_ == Fault::CommandThrows) throw std::runtime_error("command");
        endDialog(static_cast<INT_PTR>(wParam));
        return 0;
    }
    void onOk() override { seen.push_back("ok"); }
    void onCancel() override { seen.push_back("cancel"); }
    void onDestroy() override { seen.push_back("destroy"); }

private:
    Fault fault_;
};

TEST(Dialog, ModalRunEndsWithItsValueOrMinusOne) {
    struct Case {
        const char* name;
        int templateId;
        Fault fault;
        INT_PTR result;
        std::vector<std::string> seen;
    } cases[] = {
        {"ends with its value", IDD_WIZARD_PAGE, Fault::None, 7, {"create", "init", "destroy"}},
        {"another template", IDD_PROGRESS, Fault::None, 7, {"create", "init", "destroy"}},
        {"creation fails", IDD_WIZARD_PAGE, Fault::CreateFails, -1, {"create"}},
        {"creation throws", IDD_SPLASH, Fault::CreateThrows, -1, {"create"}},
        {"initialisation throws",
         IDD_WIZARD_PAGE,
         Fault::InitThrows,
         -1,
         {"create", "init", "destroy"}},
        {"a handler throws",
         IDD_WIZARD_PAGE,
         Fault::CommandThrows,
         -1,
         {"create", "init", "destroy"}},
        {"no such template", 9999, Fault::None, -1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Probe probe(c.templateId, c.fault);
        EXPECT_EQ(probe.doModal(), c.result);
        EXPECT_EQ(probe.seen, c.seen);
        EXPECT_EQ(probe.hwnd(), nullptr);
    }
}

// Enter and Escape posted to a modeless dialog reach onOk and onCancel through each kind of
// message loop: the application's, the progress windows' pump, and a worker thread's own.
TEST(Dialog, ModelessDialogGetsItsKeysInEveryLoop) {
    const std::vector<std::string> expected = {"create", "ok", "cancel"};
    auto work = [](const std::function<void()>& pumpOnce, std::vector<std::string>& seen) {
        Probe probe(IDD_WIZARD_PAGE);
        probe.endsItself = false;
        if (!probe.create()) return;
        seen = probe.seen;
        for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
            std::size_t before = probe.seen.size();
            ::PostMessageA(probe.hwnd(), WM_KEYDOWN, key, 0);
            DWORD start = ::GetTickCount();
            while (probe.seen.size() == before && ::GetTickCount() - start < TIMEOUT_MS) pumpOnce();
        }
        seen = probe.seen;
        seen.erase(std::remove(seen.begin(), seen.end(), "init"), seen.end());
    };
    {
        SCOPED_TRACE("application loop");
        fw::Application app;
        std::vector<std::string> seen;
        work([&] { app.pumpMessage(); }, seen);
        EXPECT_EQ(seen, expected);
    }
    {
        SCOPED_TRACE("pump of the waiting messages");
        std::vector<std::string> seen;
        work([] { fw::pumpWaitingMessages(); }, seen);
        EXPECT_EQ(seen, expected);
    }
    {
        SCOPED_TRACE("worker thread loop");
        std::vector<std::string> seen;
        fw::Thread worker;
        ASSERT_TRUE(worker.start([&] {
            work(
                [] {
                    int quitCode = 0;
                    fw::pumpMessage(quitCode);
                },
                seen);
            return 0UL;
        }));
        EXPECT_EQ(worker.wait(), 0u);
        EXPECT_EQ(seen, expected);
    }
}

// A quit met while pumping the waiting messages is handed on to the main loop, with or without
// an application (whose idle processing runs after the messages).
TEST(MessageLoop, PumpingTheWaitingMessagesKeepsTheQuitRequest) {
    struct IdleApp : fw::Application {
        long idled = 0;
        bool onIdle(long count) override { return ++idled, count < 2; }
    };
    for (bool withApp : {false, true}) {
        SCOPED_TRACE(withApp ? "application" : "no application");
        std::optional<IdleApp> app;
        if (withApp) app.emplace();
        EXPECT_TRUE(fw::pumpWaitingMessages());
        if (app) {
            EXPECT_EQ(app->idled, 3);
        }
        ::PostQuitMessage(3);
        EXPECT_FALSE(fw::pumpWaitingMessages());
        MSG msg;
        ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
        EXPECT_EQ(msg.wParam, 0u);
    }
}

// Colours of children: a control's own object answers first, then the dialog.
class ColouredStatic : public fw::Window {
public:
    HBRUSH brush = nullptr;

protected:
    HBRUSH onReflectedCtlColor(HDC, UINT message) override {
        return message == WM_CTLCOLORSTATIC ? brush : nullptr;
    }
};

class ColouringDialog : public fw::Dialog {
public:
    ColouringDialog() : Dialog(IDD_PROGRESS) {}
    HBRUSH brush = static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH));

protected:
    HBRUSH onCtlColor(HDC, HWND control, UINT message) override {
        return message == WM_CTLCOLORSTATIC && ::GetDlgCtrlID(control) == IDC_PROGRESS_TEXT
                   ? brush
                   : nullptr;
    }
};

TEST(Dialog, ControlColourIsAnsweredByTheControlsOwner) {
    ColouringDialog dialog;
    ASSERT_TRUE(dialog.create());
    HWND text = dialog.item(IDC_PROGRESS_TEXT);
    HDC dc = ::GetDC(text);
    auto ask = [&](HWND control) {
        return reinterpret_cast<HBRUSH>(::SendMessageA(dialog.hwnd(), WM_CTLCOLORSTATIC,
                                                       reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(control)));
    };
    HBRUSH white = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(ask(text), dialog.brush);                   // no object: the dialog answers
    EXPECT_NE(ask(dialog.item(IDCANCEL)), dialog.brush);  // not the dialog's: default colours
    {
        ColouredStatic own;
        ASSERT_TRUE(own.attach(text));
        EXPECT_EQ(ask(text), dialog.brush);  // an object that declines
        own.brush = white;
        EXPECT_EQ(ask(text), white);  // an object that answers
    }
    EXPECT_EQ(ask(text), dialog.brush);  // detached again
    ::ReleaseDC(text, dc);
}

// A plain window whose handler throws stays usable.
class Thrower : public fw::Window {
public:
    int handled = 0;

protected:
    bool onCommand(int id, int, HWND) override {
        if (id == 1) throw std::runtime_error("handler");
        ++handled;
        return true;
    }
};

TEST(Window, ExceptionStopsAtTheBarrier) {
    Thrower window;
    ASSERT_TRUE(window.create("FwThrower", "", WS_POPUP, RECT{0, 0, 10, 10}, nullptr));
    EXPECT_EQ(::SendMessageA(window.hwnd(), WM_COMMAND, 1, 0), 0);
    EXPECT_EQ(::SendMessageA(window.hwnd(), WM_COMMAND, 2, 0), 0);
    EXPECT_EQ(window.handled, 1);
    EXPECT_TRUE(::IsWindow(window.hwnd()));
}

}  // namespace
