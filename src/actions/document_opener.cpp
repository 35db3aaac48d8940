#include "actions/document_opener.h"

#include <cstdio>

#include "actions/text_rules.h"

namespace actions {
namespace {

constexpr std::size_t VALUE_BUFFER = 256;
constexpr std::uint32_t SHELL_LIBRARY_5 = 0x50000;
const char* const UNSAFE = "' <>\"#+{}|^~[]`";
const char* const OWN_ESCAPES = " <>\"#+{}|\\^~[]`";

bool startsWith(const std::string& s, const char* prefix) {
    return s.rfind(prefix, 0) == 0;
}
bool isSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
// Begins with a drive ("X:") or a backslash: not to be completed with the base folder.
bool isRooted(const std::string& s) {
    return (s.size() > 1 && s[1] == ':') || (!s.empty() && s[0] == '\\');
}

}  // namespace

void escapeUrl(std::string& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && isSpace(text[begin])) ++begin;
    while (end > begin && isSpace(text[end - 1])) --end;
    text = text.substr(begin, end - begin);
    for (const char* c = OWN_ESCAPES; *c; ++c) {
        char escape[4];
        if (*c == '\\')
            std::snprintf(escape, sizeof escape, "/");
        else
            std::snprintf(escape, sizeof escape, "%%%02X", static_cast<unsigned char>(*c));
        std::string rep = escape;
        for (std::size_t pos = text.find(*c); pos != std::string::npos;
             pos = text.find(*c, pos + rep.size()))
            text.replace(pos, 1, rep);
    }
}

std::string handlerProgramName(const std::string& command) {
    if (command.size() < 5) return "";
    std::size_t dot = 0;
    for (std::size_t i = command.size() - 4; i >= 1 && dot == 0; --i)
        if (command[i] == '.' && equalsNoCase(command.substr(i + 1, 3), "exe")) dot = i;
    if (dot == 0) return "";
    std::size_t slash = command.rfind('\\', dot - 1);
    if (slash == std::string::npos || slash + 1 == dot) return "";
    return command.substr(slash + 1, dot - slash - 1);
}

std::string relativeToViewer(const std::string& viewerPath, const std::string& document) {
    std::size_t backslashes = 0;
    for (char c : viewerPath) backslashes += c == '\\';
    std::string prefix;
    for (std::size_t i = 1; i < backslashes; ++i) prefix += "..\\";
    if (prefix.empty()) return document;
    if (startsWith(document, ".\\")) return prefix + document.substr(2);
    if (startsWith(document, "\\")) return document;
    return prefix + document;
}

DocumentOpener::DocumentOpener(const ActionServices& services, void* owner, std::string target,
                               std::string viewerPath, std::string baseFolder)
    : services_(services),
      target_(std::move(target)),
      viewerPath_(std::move(viewerPath)),
      baseFolder_(std::move(baseFolder)),
      owner_(owner) {}

bool DocumentOpener::viewerWanted() {
    using platform::RegistryRoot;
    platform::Registry& registry = *services_.registry;
    auto key = registry.openKey(RegistryRoot::ClassesRoot, ".html");
    if (!key) key = registry.openKey(RegistryRoot::ClassesRoot, ".htm");
    if (!key) return true;
    std::string id;
    bool read = key->readDefaultValue(VALUE_BUFFER, id);
    key.reset();
    if (!read) return false;
    // The leading backslash is kept: whether the registry takes it is its own affair.
    auto command =
        registry.openKey(RegistryRoot::ClassesRoot, "\\" + id + "\\shell\\open\\command");
    std::string text;
    if (!command || !command->readDefaultValue(VALUE_BUFFER, text) || text.size() <= 5)
        return false;
    std::string name = handlerProgramName(text);
    if (name.empty()) return true;
    // A plain text editor would show the page's source.
    for (const char* editor : {"write", "wordpad", "notepad", "textpad"})
        if (equalsNoCase(name, editor)) return true;
    return false;
}

void DocumentOpener::escapeIfUnsafe() {
    if (target_.find_first_of(UNSAFE) == std::string::npos) return;
    platform::Shell& shell = *services_.shell;
    if (shell.getShellLibraryVersion("shlwapi.dll") >= SHELL_LIBRARY_5) {
        std::string canonical;
        if (shell.canonicalizeUrl(
                target_, target_.size() * 2,
                platform::URL_ESCAPE_SPACES_ONLY_FLAG | platform::URL_DONT_ESCAPE_EXTRA_INFO_FLAG,
                canonical))
            target_ = canonical;
    } else {
        escapeUrl(target_);
    }
}

void DocumentOpener::openDocument() {
    bool url = startsWith(target_, "http://") || startsWith(target_, "mailto://");
    if (url || viewerPath_.empty() || baseFolder_.empty()) {
        escapeIfUnsafe();
        services_.shell->open(owner_, target_, "", "");
        return;
    }
    if (startsWith(target_, "file://")) target_.erase(0, 7);
    for (char& c : target_) {
        if (c == '|') c = ':';
        if (c == '/') c = '\\';
    }
    bool viewer = viewerWanted();
    if (!isRooted(target_)) target_ = baseFolder_ + target_;
    if (viewer) {
        target_ = quoteIfBlank(relativeToViewer(viewerPath_, target_));
        services_.shell->open(owner_, viewerPath_, target_, "");
        return;
    }
    escapeIfUnsafe();
    services_.shell->open(owner_, target_, "", "");
}

ProgramLauncher::ProgramLauncher(const ActionServices& services, void* owner, std::string program,
                                 std::string baseFolder)
    : services_(services),
      program_(std::move(program)),
      baseFolder_(std::move(baseFolder)),
      owner_(owner) {}

void ProgramLauncher::launchProgram() {
    std::string p = toLowerAscii(program_);
    if (p.size() > 1 && !isRooted(p)) p = baseFolder_ + p;
    std::size_t exe = p.find(".exe");
    if (exe == std::string::npos) {
        services_.shell->open(owner_, p, "", "");
        return;
    }
    std::string file = p.substr(0, exe + 4);
    std::string parameters = p.size() > exe + 5 ? p.substr(exe + 5) : "";
    std::size_t slash = file.rfind('\\');
    std::string folder = slash == std::string::npos ? "" : file.substr(0, slash);
    services_.shell->open(owner_, file, parameters, folder);
}

}  // namespace actions
