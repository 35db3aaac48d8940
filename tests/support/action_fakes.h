#pragma once
// Fakes of the registry, processes, shell and environment for the action tests.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "actions/action_services.h"

namespace testing_support {

// Keys by root and path (case-insensitive); a key may lack a default value.
class FakeRegistry : public platform::Registry {
public:
    void addKey(platform::RegistryRoot root, const std::string& path,
                std::optional<std::string> value = std::nullopt);
    bool hasKey(platform::RegistryRoot root, const std::string& path) const;
    std::unique_ptr<platform::RegistryKey> openKey(platform::RegistryRoot root,
                                                   const std::string& path) override;
    std::vector<std::string> opened;  // "HKCR\path" / "HKLM\path" in call order
    // Windows NT takes a leading backslash under HKEY_CLASSES_ROOT only; so does this fake.

private:
    static std::string keyName(platform::RegistryRoot root, const std::string& path);
    std::map<std::string, std::optional<std::string>> keys_;
};

// Processes that run for a given number of polls. Each start takes the next script entry;
// without one the process ends at once with exit code 0.
class FakeProcessRunner : public platform::ProcessRunner {
public:
    struct Script {
        bool starts = true;
        std::uint32_t errorCode = 0;  // when it does not start
        int activePolls = 0;          // exit-code readings that answer "still active"
        int readableReadings = -1;    // readings before the code cannot be read; -1 always
    };
    std::unique_ptr<platform::Process> start(const std::string& commandLine,
                                             std::uint32_t& errorCode) override;
    void sleep(std::uint32_t milliseconds) override;

    std::vector<Script> scripts;
    std::vector<std::string> commandLines;
    std::vector<std::uint32_t> sleeps;
    int readings = 0;               // exit-code readings of all processes
    std::function<void()> onSleep;  // runs after each recorded sleep

private:
    std::size_t next_ = 0;
};

class FakeShell : public platform::Shell {
public:
    struct OpenCall {
        std::string file, parameters, folder;
    };
    void open(void* owner, const std::string& file, const std::string& parameters,
              const std::string& folder) override;
    std::uint32_t getShellLibraryVersion(const std::string& library) override;
    bool canonicalizeUrl(const std::string& url, std::size_t bufferSize, std::uint32_t flags,
                         std::string& out) override;

    std::vector<OpenCall> opens;
    std::uint32_t version = 0x60000;
    std::vector<std::string> versionQueries;
    // What the canonicalisation answers; by default it escapes blanks as "%20".
    std::function<bool(const std::string&, std::string&)> canonicalize;
    struct CanonicalizeCall {
        std::string url;
        std::size_t bufferSize;
        std::uint32_t flags;
    };
    std::vector<CanonicalizeCall> canonicalizeCalls;
};

class FakeEnvironment : public platform::Environment {
public:
    bool expand(const std::string& text, std::size_t bufferSize, std::string& out) override;
    std::map<std::string, std::string> variables;  // name without percent signs
};

// Everything an action needs, with fakes but for the real file system.
struct FakeActionServices {
    FakeRegistry registry;
    FakeProcessRunner processes;
    FakeShell shell;
    FakeEnvironment environment;
    std::vector<std::pair<std::string, std::string>> extractions;  // package, destination
    std::function<int(const std::string&, const std::string&)> extractor;
    actions::ActionServices services(const platform::System& system);
};

}  // namespace testing_support
