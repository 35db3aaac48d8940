#include "fuzz_support.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace fuzzing {

namespace fs = std::filesystem;

const std::string& scratchFolder() {
    // Kept alive to the very end: the clean-up at exit still needs it.
    static const std::string* folder = [] {
        // Memory-backed when the machine has it: every input is written to a file.
        fs::path base =
            fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        std::string templ = (base / "setup-fuzz-XXXXXX").string();
        if (!::mkdtemp(templ.data())) std::abort();
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(*folder, ec);
        });
        return new std::string(templ + "/");
    }();
    return *folder;
}

void clearScratch() {
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(scratchFolder(), ec)) fs::remove_all(e.path(), ec);
}

void enterScratchWorkingFolder() {
    static bool done = false;
    if (done) return;
    fs::create_directories(scratchFolder() + "cwd");
    fs::current_path(scratchFolder() + "cwd");
    done = true;
}

void removeScratch(const std::string& name) {
    std::error_code ec;
    fs::remove_all(scratchFolder() + name, ec);
}

std::string writeScratchFile(const std::string& name, const std::uint8_t* data, std::size_t size) {
    std::string path = scratchFolder() + name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
    return path;
}

namespace {

// The absolute, lexically normal form of a path. Checked on every file call: the
// std::filesystem way allocated more than the unpacking it guards.
std::string absoluteNormal(const std::string& p) {
    std::string in = p;
    for (char& c : in)
        if (c == '\\') c = '/';
    if (in.empty() || in[0] != '/') {
        char cwd[PATH_MAX];
        if (!::getcwd(cwd, sizeof cwd)) std::abort();
        in = std::string(cwd) + "/" + in;
    }
    std::string out;
    out.reserve(in.size());
    for (std::size_t pos = 0; pos < in.size();) {
        std::size_t next = std::min(in.find('/', pos), in.size());
        std::size_t length = next - pos;
        if (length == 2 && in.compare(pos, 2, "..") == 0) {
            out.resize(out.rfind('/') == std::string::npos ? 0 : out.rfind('/'));
        } else if (length > 0 && !(length == 1 && in[pos] == '.')) {
            out += '/';
            out.append(in, pos, length);
        }
        pos = next + 1;
    }
    return out.empty() ? "/" : out;
}

}  // namespace

bool ConfinedFileSystem::inside(const std::string& p, bool writing) {
    // Relative paths are taken from the working directory, which must be inside too. The
    // scratch folder holds no links, so the lexical form is the real one.
    std::string full = absoluteNormal(p);
    const std::string& root = scratchFolder();
    bool ok = full.rfind(root, 0) == 0 || full + "/" == root;
    if (!ok && writing) {
        std::fprintf(stderr, "write outside the scratch folder: %s\n", p.c_str());
        std::abort();
    }
    return ok;
}

namespace {
platform::FileSystem& real() {
    return platform::systemFileSystem();
}
}  // namespace

bool ConfinedFileSystem::exists(const std::string& p) {
    return inside(p, false) && real().exists(p);
}
bool ConfinedFileSystem::isFolder(const std::string& p) {
    return inside(p, false) && real().isFolder(p);
}
std::unique_ptr<platform::FileFinder> ConfinedFileSystem::findFirst(const std::string& p) {
    return inside(p, false) ? real().findFirst(p) : nullptr;
}
bool ConfinedFileSystem::createFolder(const std::string& p) {
    return inside(p, true) && real().createFolder(p);
}
bool ConfinedFileSystem::removeFolder(const std::string& p) {
    return inside(p, true) && real().removeFolder(p);
}
bool ConfinedFileSystem::deleteFile(const std::string& p) {
    return inside(p, true) && real().deleteFile(p);
}
bool ConfinedFileSystem::setFileTimes(const std::string& p, std::int64_t a, std::int64_t m) {
    return inside(p, true) && real().setFileTimes(p, a, m);
}
bool ConfinedFileSystem::getFileTimes(const std::string& p, std::int64_t& a, std::int64_t& m) {
    return inside(p, false) && real().getFileTimes(p, a, m);
}
bool ConfinedFileSystem::currentFolder(std::string& out) {
    return real().currentFolder(out);
}
bool ConfinedFileSystem::setCurrentFolder(const std::string& p) {
    return inside(p, false) && real().setCurrentFolder(p);
}
platform::FilePtr ConfinedFileSystem::openFile(const std::string& p, const char* mode) {
    bool writing = mode[0] != 'r' || std::string(mode).find('+') != std::string::npos;
    return inside(p, writing) ? real().openFile(p, mode) : nullptr;
}

namespace {
// Checks every file it creates as the file system checks paths.
class ConfinedOutputFolder : public platform::OutputFolder {
public:
    ConfinedOutputFolder(ConfinedFileSystem& fs, std::unique_ptr<platform::OutputFolder> inner,
                         std::string base)
        : fs_(fs), inner_(std::move(inner)), base_(std::move(base)) {}
    platform::FilePtr createFile(const std::string& name, platform::CreateMode mode,
                                 const std::vector<platform::FileIdentity>& keep,
                                 platform::FileIdentity* created) override {
        return fs_.inside(base_ + "/" + name, true) ? inner_->createFile(name, mode, keep, created)
                                                    : nullptr;
    }
    bool identity(const std::string& name, platform::FileIdentity& out) override {
        return fs_.inside(base_ + "/" + name, false) && inner_->identity(name, out);
    }
    platform::FilePtr openExisting(const std::string& name,
                                   const platform::FileIdentity& id) override {
        return fs_.inside(base_ + "/" + name, false) ? inner_->openExisting(name, id) : nullptr;
    }
    bool setFileTimes(const std::string& name, std::int64_t a, std::int64_t m) override {
        return fs_.inside(base_ + "/" + name, true) && inner_->setFileTimes(name, a, m);
    }
    bool removeFile(const std::string& name, const platform::FileIdentity& id) override {
        return fs_.inside(base_ + "/" + name, true) && inner_->removeFile(name, id);
    }

private:
    ConfinedFileSystem& fs_;
    std::unique_ptr<platform::OutputFolder> inner_;
    std::string base_;  // absolute
};
}  // namespace

std::unique_ptr<platform::OutputFolder> ConfinedFileSystem::openOutputFolder(const std::string& p) {
    if (!inside(p, false)) return nullptr;
    std::unique_ptr<platform::OutputFolder> inner = real().openOutputFolder(p);
    if (!inner) return nullptr;
    return std::make_unique<ConfinedOutputFolder>(*this, std::move(inner), absoluteNormal(p));
}
bool ConfinedFileSystem::renameFile(const std::string& from, const std::string& to) {
    return inside(from, true) && inside(to, true) && real().renameFile(from, to);
}

platform::System confinedSystem() {
    struct Silent : platform::MessageSink {
        void showMessage(const std::string&, const std::string&, platform::MessageIcon) override {}
        bool askYesNo(const std::string&, const std::string&, platform::MessageIcon) override {
            return false;
        }
    };
    struct Still : platform::Clock {
        std::uint32_t tickCount() override { return 0; }
    };
    static ConfinedFileSystem fs;
    static Silent messages;
    static platform::NullProgressSink progress;
    static Still clock;
    return platform::System{&fs, &messages, &progress, &clock};
}

}  // namespace fuzzing
