#include "wine_support.h"

#include <cstdio>
#include <cstdlib>

#include "platform/win32/handle_win.h"
#include "platform/win32/wide_text_win.h"

namespace wine_support {

std::string windowsPathFromEnv(const char* variable) {
    const char* v = std::getenv(variable);
    std::string p = v ? v : "";
    if (!p.empty() && p[0] == '/') {
        for (char& c : p)
            if (c == '/') c = '\\';
        p = "Z:" + p;
    }
    return p;
}

std::string binDir() {
    return windowsPathFromEnv("SETUP_BIN_DIR");
}
std::string standinDir() {
    return binDir() + "\\stand ins";
}

std::string readFileText(const std::string& path) {
    std::string out;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        char buf[4096];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
        std::fclose(f);
    }
    return out;
}

int runCapturing(const std::string& commandLine, const std::string& outPath) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    platform::win32::FileHandle out(::CreateFileW(platform::win32::wide(outPath).c_str(),
                                                  GENERIC_WRITE, FILE_SHARE_READ, &sa,
                                                  CREATE_ALWAYS, 0, nullptr));
    if (!out) return -1;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = out.get();
    si.hStdError = out.get();
    si.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi{};
    std::wstring line = platform::win32::wide(commandLine);
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si,
                          &pi))
        return -1;
    platform::win32::KernelHandle process(pi.hProcess), thread(pi.hThread);
    if (::WaitForSingleObject(process.get(), 120000) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    ::GetExitCodeProcess(process.get(), &code);
    return static_cast<int>(code);
}

bool writeFileText(const std::string& path, const std::string& text) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && ok;
}

StandinLog::StandinLog(const std::string& folder) : path_(folder + "\\standin.log") {
    ::DeleteFileA(path_.c_str());
    ::SetEnvironmentVariableA("STANDIN_LOG", path_.c_str());
}

StandinLog::~StandinLog() {
    ::SetEnvironmentVariableA("STANDIN_LOG", nullptr);
}

std::string StandinLog::read() const {
    return readFileText(path_);
}

bool StandinLog::waitForRecords(int n) const {
    return waitUntil([&] {
        std::string text = read();
        int count = 0;
        for (std::size_t p = text.find("end\r\n"); p != std::string::npos;
             p = text.find("end\r\n", p + 1))
            ++count;
        return count >= n;
    });
}

bool keyExists(HKEY root, const std::string& path) {
    HKEY h = nullptr;
    if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    ::RegCloseKey(h);
    return true;
}

bool createEmptyKey(HKEY root, const std::string& path) {
    HKEY h = nullptr;
    if (::RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr) !=
        ERROR_SUCCESS)
        return false;
    ::RegCloseKey(h);
    return true;
}

bool setDefaultValue(HKEY root, const std::string& path, const std::string& value) {
    return ::RegSetValueA(root, path.c_str(), REG_SZ, value.c_str(),
                          static_cast<DWORD>(value.size())) == ERROR_SUCCESS;
}

void deleteKey(HKEY root, const std::string& path) {
    ::RegDeleteTreeA(root, path.c_str());
}

KeyRestorer::KeyRestorer(HKEY root, std::string path) : root_(root), path_(std::move(path)) {
    HKEY h = nullptr;
    if (::RegOpenKeyExA(root_, path_.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return;
    platform::win32::RegKey key(h);
    existed_ = true;
    char buf[1024];
    LONG size = sizeof buf;
    if (::RegQueryValueA(h, nullptr, buf, &size) == ERROR_SUCCESS) value_ = buf;
}

KeyRestorer::~KeyRestorer() {
    deleteKey(root_, path_);
    if (!existed_) return;
    createEmptyKey(root_, path_);
    if (value_ && !value_->empty()) setDefaultValue(root_, path_, *value_);
}

}  // namespace wine_support
