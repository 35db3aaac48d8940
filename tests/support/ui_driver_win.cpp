#include "support/ui_driver_win.h"

#include <commctrl.h>
#include <cctype>
#include <exception>
#include <thread>
#include <type_traits>

#include "platform/text_encoding.h"
#include "resource.h"
#include "support/dialog_template_win.h"

namespace testing_support {

bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (::GetTickCount() - start > timeoutMs) return condition();
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        // Polling interval, not a wait for an outcome.
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

// --- Processes ---

HANDLE startProgram(const std::string& commandLine, const std::string& folder, DWORD& processId,
                    HANDLE output) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    if (output) {
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdOutput = output;
    }
    PROCESS_INFORMATION pi{};
    std::string line = commandLine;
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, output != nullptr, 0, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &si, &pi))
        return nullptr;
    ::CloseHandle(pi.hThread);
    processId = pi.dwProcessId;
    return pi.hProcess;
}

bool waitForExit(HANDLE process, DWORD& exitCode, DWORD timeoutMs) {
    if (!waitUntil([&] { return ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }, timeoutMs))
        return false;
    return ::GetExitCodeProcess(process, &exitCode) != 0;
}

std::string ownFolder() {
    char path[MAX_PATH];
    DWORD n = ::GetModuleFileNameA(nullptr, path, sizeof path);
    std::string s(path, n);
    return s.substr(0, s.find_last_of('\\') + 1);
}

// --- Finding windows ---

WindowQuery WindowQuery::dialogs(DWORD processId) {
    WindowQuery q;
    q.processId = processId;
    q.className = "#32770";
    return q;
}

WindowQuery WindowQuery::fromTemplate(DWORD processId, int templateId) {
    WindowQuery q = dialogs(processId);
    if (auto t = readDialogTemplate(templateId)) {
        q.styleMask = WS_POPUP | WS_CHILD | WS_CAPTION | WS_SYSMENU;
        q.style = t->style & q.styleMask;
        q.exStyleMask = WS_EX_APPWINDOW;
        q.exStyle = t->exStyle & q.exStyleMask;
        for (const TemplateItem& item : t->items)
            if (item.id != 0xFFFF && item.id != -1) q.controls.push_back(item.id);
    } else {
        q.className = "no such template";
    }
    return q;
}

namespace {
struct Search {
    const WindowQuery* query;
    DWORD processId;
    std::vector<HWND> found;
};

bool matches(HWND window, const WindowQuery& q, DWORD processId) {
    DWORD pid = 0;
    const DWORD thread = ::GetWindowThreadProcessId(window, &pid);
    if (pid != processId || (q.threadId && thread != q.threadId) || !::IsWindowVisible(window))
        return false;
    char cls[256] = "";
    ::GetClassNameA(window, cls, sizeof cls);
    if (!q.className.empty() && ::lstrcmpiA(cls, q.className.c_str()) != 0) return false;
    if (!q.title.empty() && windowText(window) != q.title) return false;
    if ((static_cast<DWORD>(::GetWindowLongPtrA(window, GWL_STYLE)) & q.styleMask) != q.style)
        return false;
    if ((static_cast<DWORD>(::GetWindowLongPtrA(window, GWL_EXSTYLE)) & q.exStyleMask) != q.exStyle)
        return false;
    if (q.owner && ::GetWindow(window, GW_OWNER) != *q.owner) return false;
    for (int id : q.controls)
        if (!::GetDlgItem(window, id)) return false;
    return !q.also || q.also(window);
}

BOOL CALLBACK collect(HWND window, LPARAM param) {
    auto* s = reinterpret_cast<Search*>(param);
    if (matches(window, *s->query, s->processId)) s->found.push_back(window);
    return TRUE;
}
}  // namespace

std::vector<HWND> findWindows(const WindowQuery& query) {
    Search s{&query, query.processId ? query.processId : ::GetCurrentProcessId(), {}};
    ::EnumWindows(collect, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND waitForWindow(const WindowQuery& query, DWORD timeoutMs) {
    HWND found = nullptr;
    waitUntil(
        [&] {
            auto all = findWindows(query);
            found = all.empty() ? nullptr : all.front();
            return found != nullptr;
        },
        timeoutMs);
    // A message sent to it is answered once its thread is back in its message loop.
    DWORD_PTR ignored;
    if (found) ::SendMessageTimeoutA(found, WM_NULL, 0, 0, SMTO_BLOCK, UI_TIMEOUT_MS, &ignored);
    return found;
}

HWND waitForDialog(DWORD processId, DWORD timeoutMs) {
    return waitForWindow(WindowQuery::dialogs(processId), timeoutMs);
}

bool waitForClose(HWND window) {
    return waitUntil([&] { return !::IsWindow(window) || !::IsWindowVisible(window); });
}

bool isMessageBox(HWND window) {
    return ::GetDlgItem(window, 0xFFFF) != nullptr;
}

bool isWizardPage(HWND window) {
    return ::GetDlgItem(window, WIZ_BACK) && ::GetDlgItem(window, WIZ_FINISH) &&
           ::GetDlgItem(window, WIZ_CANCEL);
}

bool finishNoPlatformPage(DWORD processId) {
    WindowQuery q = WindowQuery::dialogs(processId);
    q.also = isWizardPage;
    HWND page = waitForWindow(q);
    if (!page) return false;
    clickButton(page, WIZ_FINISH);
    return true;
}

// --- Reading ---

namespace {

std::string utf8Of(const wchar_t* text) {
    int n = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) ::WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    return out;
}

}  // namespace

std::string windowText(HWND window) {
    char buf[4096] = "";
    ::SendMessageA(window, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf));
    return buf;
}

std::string wideWindowText(HWND window) {
    wchar_t buf[4096] = L"";
    ::SendMessageW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buf));
    return utf8Of(buf);
}

std::string controlText(HWND dialog, int id) {
    HWND control = ::GetDlgItem(dialog, id);
    return control ? windowText(control) : "";
}

std::string messageBoxText(HWND box) {
    return controlText(box, 0xFFFF);
}

bool isChecked(HWND control) {
    return control && ::SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool isChecked(HWND dialog, int id) {
    return isChecked(::GetDlgItem(dialog, id));
}

bool isVisible(HWND control) {
    return control && ::IsWindowVisible(control);
}

bool isVisible(HWND dialog, int id) {
    return isVisible(::GetDlgItem(dialog, id));
}

HWND focusedControl(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

int focusedId(HWND window) {
    HWND focus = focusedControl(window);
    return focus ? ::GetDlgCtrlID(focus) : 0;
}

RECT childRect(HWND child) {
    RECT r{};
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

namespace {

// Rows read through LVM_GETITEMTEXTA or, Wide, LVM_GETITEMTEXTW (as UTF-8).
template <bool Wide>
std::vector<ListRow> readRows(HWND list) {
    using Char = std::conditional_t<Wide, wchar_t, char>;
    using Item = std::conditional_t<Wide, LVITEMW, LVITEMA>;
    std::vector<ListRow> rows;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(list, &pid);
    const bool own = pid == ::GetCurrentProcessId();
    HANDLE process =
        own ? ::GetCurrentProcess()
            : ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) return rows;
    // The list writes the text into memory of its own process.
    constexpr int TEXT_SIZE = 1024;
    auto* remote = static_cast<char*>(::VirtualAllocEx(
        process, nullptr, sizeof(Item) + TEXT_SIZE * sizeof(Char), MEM_COMMIT, PAGE_READWRITE));
    if (remote) {
        int count = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            Item item{};
            item.pszText = reinterpret_cast<Char*>(remote + sizeof item);
            item.cchTextMax = TEXT_SIZE;
            Char text[TEXT_SIZE] = {};
            if (::WriteProcessMemory(process, remote, &item, sizeof item, nullptr) &&
                ::SendMessageA(list, Wide ? LVM_GETITEMTEXTW : LVM_GETITEMTEXTA, i,
                               reinterpret_cast<LPARAM>(remote)) >= 0)
                ::ReadProcessMemory(process, remote + sizeof item, text,
                                    (TEXT_SIZE - 1) * sizeof(Char), nullptr);
            text[TEXT_SIZE - 1] = 0;
            UINT state = static_cast<UINT>(
                ::SendMessageA(list, LVM_GETITEMSTATE, i, LVIS_SELECTED | LVIS_FOCUSED));
            std::string shown;
            if constexpr (Wide)
                shown = utf8Of(text);
            else
                shown = text;
            rows.push_back({shown, (state & LVIS_SELECTED) != 0, (state & LVIS_FOCUSED) != 0});
        }
        ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    if (!own) ::CloseHandle(process);
    return rows;
}

}  // namespace

std::vector<ListRow> listRows(HWND list) {
    return readRows<false>(list);
}

std::vector<ListRow> wideListRows(HWND list) {
    return readRows<true>(list);
}

// --- Acting ---

void clickButton(HWND button) {
    if (button) ::PostMessageA(button, BM_CLICK, 0, 0);
}

void clickButton(HWND dialog, int id) {
    clickButton(::GetDlgItem(dialog, id));
}

namespace {

// Input goes to the foreground window. A window made foreground only now is activated by
// messages its thread handles later, and on activation a dialog puts the focus back where it
// was: input sent before that could have its effect on the focus undone. So this waits until
// the window is the foreground window and its thread has had time for those messages.
void bringToFront(HWND window) {
    HWND root = ::GetAncestor(window, GA_ROOT);
    if (!root || ::GetForegroundWindow() == root) return;
    ::SetForegroundWindow(root);
    waitUntil([&] { return ::GetForegroundWindow() == root; });
    DWORD_PTR ignored;
    ::SendMessageTimeoutA(root, WM_NULL, 0, 0, SMTO_BLOCK, UI_TIMEOUT_MS, &ignored);
    ::Sleep(100);  // the posted activation messages come after the sent one
}

INPUT keyInput(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(::MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}

// The modifiers pressed (or released, in the other order) around what they modify.
void addModifiers(std::vector<INPUT>& in, unsigned modifiers, bool up) {
    const std::pair<unsigned, WORD> keys[] = {
        {SHIFT, VK_SHIFT}, {CONTROL, VK_CONTROL}, {ALT, VK_MENU}};
    for (int i = 0; i < 3; ++i) {
        const auto& [bit, vk] = keys[up ? 2 - i : i];
        if (modifiers & bit) in.push_back(keyInput(vk, up));
    }
}

void send(std::vector<INPUT>& inputs) {
    if (!inputs.empty())
        ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT mouseInput(DWORD flags, POINT screen) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    // Rounded up, so that both ways of scaling back (x * w / 65536 truncated, or rounded
    // with 65535) give the pixel again.
    input.mi.dx = static_cast<LONG>((screen.x * 65536LL + w - 1) / w);
    input.mi.dy = static_cast<LONG>((screen.y * 65536LL + h - 1) / h);
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    return input;
}

void sendMouse(DWORD flags, POINT screen) {
    std::vector<INPUT> in{mouseInput(flags, screen)};
    send(in);
}

}  // namespace

void pressKey(HWND window, UINT virtualKey, unsigned modifiers) {
    bringToFront(window);
    std::vector<INPUT> in;
    addModifiers(in, modifiers, false);
    in.push_back(keyInput(static_cast<WORD>(virtualKey), false));
    in.push_back(keyInput(static_cast<WORD>(virtualKey), true));
    addModifiers(in, modifiers, true);
    send(in);
}

void typeText(HWND window, const std::string& text) {
    for (char c : text) {
        SHORT scan = ::VkKeyScanA(c);
        pressKey(window, scan & 0xFF, (scan >> 8) & 1 ? unsigned{SHIFT} : 0u);
    }
}

void typeCharacters(HWND window, const std::string& utf8) {
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                      wide.data(), static_cast<int>(wide.size())));
    for (wchar_t c : wide) {
        bringToFront(window);
        std::vector<INPUT> in(2);
        for (int up = 0; up < 2; ++up) {
            in[up].type = INPUT_KEYBOARD;
            in[up].ki.wScan = static_cast<WORD>(c);
            in[up].ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
        }
        send(in);
    }
}

void pressAlt(HWND window, char mnemonic) {
    pressKey(window, static_cast<UINT>(std::toupper(static_cast<unsigned char>(mnemonic))), ALT);
}

bool focusControl(HWND control) {
    ::PostMessageA(::GetParent(control), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    return waitUntil([&] { return focusedControl(control) == control; });
}

void clickAt(HWND window, POINT p, bool twice, unsigned modifiers) {
    bringToFront(window);
    ::ClientToScreen(window, &p);
    std::vector<INPUT> in;
    addModifiers(in, modifiers, false);
    in.push_back(mouseInput(0, p));
    for (int i = 0; i < (twice ? 2 : 1); ++i) {
        in.push_back(mouseInput(MOUSEEVENTF_LEFTDOWN, p));
        in.push_back(mouseInput(MOUSEEVENTF_LEFTUP, p));
    }
    addModifiers(in, modifiers, true);
    send(in);
}

bool dragWindow(HWND window, POINT clientPoint, int dx, int dy) {
    bringToFront(window);
    RECT before;
    ::GetWindowRect(window, &before);
    POINT p = clientPoint;
    ::ClientToScreen(window, &p);
    sendMouse(0, p);
    sendMouse(MOUSEEVENTF_LEFTDOWN, p);
    constexpr int STEPS = 8;
    for (int k = 1; k <= STEPS; ++k) {
        sendMouse(0, POINT{p.x + dx * k / STEPS, p.y + dy * k / STEPS});
        ::Sleep(15);  // lets the window's move loop see each step, not the outcome
    }
    sendMouse(MOUSEEVENTF_LEFTUP, POINT{p.x + dx, p.y + dy});
    // Done when the window is in place and its thread has left the move loop: a key sent while
    // the loop still runs would end the move instead of reaching the window.
    const DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
    return waitUntil([&] {
        RECT now;
        ::GetWindowRect(window, &now);
        GUITHREADINFO gui{};
        gui.cbSize = sizeof gui;
        return now.left == before.left + dx && now.top == before.top + dy &&
               ::GetGUIThreadInfo(thread, &gui) && !(gui.flags & GUI_INMOVESIZE) &&
               !gui.hwndCapture;
    });
}

// --- A page of this process ---

int PageDriver::run(const std::function<int()>& show,
                    const std::function<void(PageDriver&)>& script) {
    PageDriver driver;
    driver.guiThread_ = ::GetCurrentThreadId();
    std::thread worker([&driver, &script] {
        try {
            script(driver);
        } catch (const std::exception&) {
        }
        // Whatever the script left open is closed, so that show() returns.
        WindowQuery open = WindowQuery::dialogs(0);
        open.threadId = driver.guiThread_;
        open.owner = nullptr;
        waitUntil([&] {
            auto pages = findWindows(open);
            if (pages.empty()) return true;
            WindowQuery boxes = open;
            boxes.owner = pages.front();
            if (auto owned = findWindows(boxes); !owned.empty()) {
                ::PostMessageA(owned.front(), WM_COMMAND, IDYES, 0);
                ::PostMessageA(owned.front(), WM_COMMAND, IDOK, 0);
            } else {
                ::PostMessageA(pages.front(), WM_CLOSE, 0, 0);
            }
            ::Sleep(100);  // lets the window handle it before it is asked again
            return false;
        });
    });
    int result = show();
    worker.join();
    return result;
}

HWND PageDriver::waitForPage() const {
    return waitForOwned(nullptr);
}

HWND PageDriver::waitForOwned(HWND owner) const {
    WindowQuery q = WindowQuery::dialogs(0);
    q.threadId = guiThread_;
    q.owner = owner;
    return waitForWindow(q);
}

}  // namespace testing_support
