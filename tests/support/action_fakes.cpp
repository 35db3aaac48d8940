#include "support/action_fakes.h"

#include <algorithm>

namespace testing_support {

namespace {
std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

class FakeKey : public platform::RegistryKey {
public:
    explicit FakeKey(std::optional<std::string> value) : value_(std::move(value)) {}
    bool readDefaultValue(std::size_t bufferSize, std::string& out) override {
        std::string v = value_.value_or("");
        if (v.size() + 1 > bufferSize) return false;
        out = v;
        return true;
    }

private:
    std::optional<std::string> value_;
};

class FakeProcess : public platform::Process {
public:
    FakeProcess(FakeProcessRunner& runner, FakeProcessRunner::Script script)
        : runner_(runner), script_(script) {}
    bool exitCode(std::uint32_t& code) override {
        ++runner_.readings;
        if (script_.readableReadings >= 0 && readings_ >= script_.readableReadings) return false;
        ++readings_;
        code = readings_ <= script_.activePolls ? platform::STILL_ACTIVE_CODE : 0;
        return true;
    }

private:
    FakeProcessRunner& runner_;
    FakeProcessRunner::Script script_;
    int readings_ = 0;
};
}  // namespace

std::string FakeRegistry::keyName(platform::RegistryRoot root, const std::string& path) {
    return (root == platform::RegistryRoot::ClassesRoot ? "HKCR\\" : "HKLM\\") + path;
}

void FakeRegistry::addKey(platform::RegistryRoot root, const std::string& path,
                          std::optional<std::string> value) {
    keys_[lower(keyName(root, path))] = std::move(value);
}

bool FakeRegistry::hasKey(platform::RegistryRoot root, const std::string& path) const {
    return keys_.count(lower(keyName(root, path))) != 0;
}

std::unique_ptr<platform::RegistryKey> FakeRegistry::openKey(platform::RegistryRoot root,
                                                             const std::string& path) {
    opened.push_back(keyName(root, path));
    std::string p = path;
    if (!p.empty() && p[0] == '\\') {
        if (root != platform::RegistryRoot::ClassesRoot) return nullptr;
        p.erase(0, 1);
    }
    auto it = keys_.find(lower(keyName(root, p)));
    if (it == keys_.end()) return nullptr;
    return std::make_unique<FakeKey>(it->second);
}

std::unique_ptr<platform::Process> FakeProcessRunner::start(const std::string& commandLine,
                                                            std::uint32_t& errorCode) {
    commandLines.push_back(commandLine);
    Script s = next_ < scripts.size() ? scripts[next_] : Script{};
    ++next_;
    if (!s.starts) {
        errorCode = s.errorCode;
        return nullptr;
    }
    return std::make_unique<FakeProcess>(*this, s);
}

void FakeProcessRunner::sleep(std::uint32_t milliseconds) {
    sleeps.push_back(milliseconds);
    if (onSleep) onSleep();
}

void FakeShell::open(void*, const std::string& file, const std::string& parameters,
                     const std::string& folder) {
    opens.push_back({file, parameters, folder});
}

std::uint32_t FakeShell::getShellLibraryVersion(const std::string& library) {
    versionQueries.push_back(library);
    return version;
}

bool FakeShell::canonicalizeUrl(const std::string& url, std::size_t bufferSize, std::uint32_t flags,
                                std::string& out) {
    canonicalizeCalls.push_back({url, bufferSize, flags});
    if (canonicalize) return canonicalize(url, out);
    out.clear();
    for (char c : url) out += c == ' ' ? std::string("%20") : std::string(1, c);
    return true;
}

bool FakeEnvironment::expand(const std::string& text, std::size_t bufferSize, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < text.size();) {
        std::size_t end = text[i] == '%' ? text.find('%', i + 1) : std::string::npos;
        auto it = end == std::string::npos ? variables.end()
                                           : variables.find(text.substr(i + 1, end - i - 1));
        if (it != variables.end()) {
            out += it->second;
            i = end + 1;
        } else {
            out += text[i++];
        }
    }
    return out.size() + 1 <= bufferSize;
}

actions::ActionServices FakeActionServices::services(const platform::System& system) {
    return actions::ActionServices{
        system,
        &registry,
        &processes,
        &shell,
        &environment,
        [this](const std::string& package, const std::string& destination) {
            extractions.emplace_back(package, destination);
            return extractor ? extractor(package, destination) : 0;
        }};
}

}  // namespace testing_support
