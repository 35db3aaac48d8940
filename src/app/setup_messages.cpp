#include "app/setup_messages.h"

#include <cstdio>

#include "platform/file_system.h"

namespace {

void makeFolders(const std::string& path) {
    for (std::size_t at = path.find('\\'); at != std::string::npos; at = path.find('\\', at + 1))
        platform::systemFileSystem().createFolder(path.substr(0, at));
}

// The console Setup was started from, when it has one; nothing otherwise.
void writeConsole(const std::string& text) {
    HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    if (!out || out == INVALID_HANDLE_VALUE) {
        if (!::AttachConsole(ATTACH_PARENT_PROCESS)) return;
        out = ::GetStdHandle(STD_OUTPUT_HANDLE);
        if (!out || out == INVALID_HANDLE_VALUE) return;
    }
    DWORD written = 0;
    ::WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

}  // namespace

bool writePreviewFile(const std::string& path, const std::string& bytes) {
    makeFolders(path);
    // The folders hold the languages' names: UTF-8 through the wide functions.
    platform::FilePtr f = platform::systemFileSystem().openFile(path, "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f.get()) == bytes.size();
    return std::fclose(f.release()) == 0 && ok;
}

void SetupMessages::showMessage(const std::string& text, const std::string& caption,
                                platform::MessageIcon icon) {
    if (!printing_) return MessageBoxSink::showMessage(text, caption, icon);
    {
        std::lock_guard<std::mutex> hold(lock_);
        messages_ = true;
    }
    print(text + "\r\n");
}

bool SetupMessages::askYesNo(const std::string& text, const std::string& caption,
                             platform::MessageIcon icon) {
    if (!printing_) return MessageBoxSink::askYesNo(text, caption, icon);
    showMessage(text, caption, icon);
    return false;
}

void SetupMessages::print(const std::string& lines) {
    std::lock_guard<std::mutex> hold(lock_);
    printed_ += lines;
    // Written anew each time: a run that ends early still leaves what it said.
    writePreviewFile(std::string(PREVIEW_FOLDER) + "\\findings.txt", printed_);
    writeConsole(lines);
}
