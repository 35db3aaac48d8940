#include "image_plan.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <set>

#include "archive_files.h"
#include "disc/image_names.h"
#include "disc/image_volume.h"

namespace fs = std::filesystem;

namespace {

struct FileKey {
    dev_t device;
    ino_t inode;
    bool operator==(const FileKey& o) const { return device == o.device && inode == o.inode; }
};

bool keyOf(const fs::path& p, FileKey& key) {
    struct stat st;
    if (::stat(p.c_str(), &st) != 0) return false;
    key = {st.st_dev, st.st_ino};
    return true;
}

class Planner {
public:
    Planner(const ImageRequest& request, ImagePlan& plan) : request_(request), plan_(plan) {
        hasOutput_ = keyOf(request.output, output_);
    }

    std::vector<std::string> run() {
        walk(request_.disc, "");
        placeSetup();
        placeAutorun();
        return refusals_;
    }

private:
    void refuse(const std::string& name, const std::string& rule) {
        refusals_.push_back(name + ": " + rule);
    }

    // One folder: its names checked against each other, then each entry, folders descended
    // into. Nothing is followed through a link.
    void walk(const fs::path& folder, const std::string& prefix) {
        std::vector<fs::path> children;
        std::error_code ec;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
            children.push_back(it->path());
        if (ec) return refuse(prefix.empty() ? "." : prefix, "cannot be read: " + ec.message());
        std::sort(children.begin(), children.end());
        std::vector<std::string> names;
        for (const fs::path& p : children) names.push_back(p.filename().string());
        refuseFoldedPairs(names, prefix);
        for (std::size_t i = 0; i < children.size(); ++i) add(children[i], prefix + names[i]);
    }

    void refuseFoldedPairs(std::vector<std::string> names, const std::string& prefix) {
        for (;;) {
            std::size_t first = 0, second = 0;
            if (!disc::findFoldedPair(names, first, second)) return;
            refuse(prefix + names[first] + " and " + prefix + names[second],
                   "one name for Windows, which ignores case and trailing dots and blanks");
            names.erase(names.begin() + static_cast<std::ptrdiff_t>(second));
        }
    }

    void add(const fs::path& p, const std::string& name) {
        std::string leaf = p.filename().string();
        if (std::string rule = disc::nameRefusal(leaf); !rule.empty()) return refuse(name, rule);
        struct stat st;
        if (::lstat(p.c_str(), &st) != 0) return refuse(name, "cannot be read");
        if (S_ISLNK(st.st_mode))
            return refuse(name, "a link; an image holds the disc's own files and folders only");
        if (S_ISDIR(st.st_mode)) {
            if (::access(p.c_str(), R_OK | X_OK) != 0) return refuse(name, "cannot be read");
            plan_.entries.push_back({name, p, true, 0});
            return walk(p, name + "/");
        }
        if (!S_ISREG(st.st_mode))
            return refuse(name, "neither a file nor a folder (a device, a pipe or a socket)");
        if (hasOutput_ && FileKey{st.st_dev, st.st_ino} == output_) return;
        if (::access(p.c_str(), R_OK) != 0) return refuse(name, "cannot be read");
        plan_.entries.push_back({name, p, false, static_cast<std::uint64_t>(st.st_size)});
    }

    // The root entry that Windows would take for name; null when there is none.
    ImageEntry* atRoot(const std::string& name) {
        std::string folded = disc::windowsFold(name);
        for (ImageEntry& e : plan_.entries)
            if (e.name.find('/') == std::string::npos && disc::windowsFold(e.name) == folded)
                return &e;
        return nullptr;
    }

    void placeSetup() {
        ImageEntry* own = atRoot(SETUP_NAME);
        if (request_.setup.empty()) {
            if (!own || own->folder)
                refuse(SETUP_NAME, "not at the root of the disc (--setup PATH puts one there)");
            return;
        }
        struct stat st;
        if (::stat(request_.setup.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            return refuse(request_.setup.string(), "--setup names no file");
        ImageEntry setup{SETUP_NAME, fs::absolute(request_.setup), false,
                         static_cast<std::uint64_t>(st.st_size)};
        // The one given replaces the disc's own, whatever case its name has.
        if (own && !own->folder)
            *own = setup;
        else if (own)
            refuse(own->name, "a folder where Setup.exe belongs");
        else
            plan_.entries.push_back(setup);
    }

    void placeAutorun() {
        ImageEntry* own = atRoot(AUTORUN_NAME);
        if (!own) {
            plan_.autorun = disc::makeAutorun(plan_.label);
            return;
        }
        std::string text;
        if (own->folder || !readWholeFile(own->source.string(), text))
            return refuse(own->name, "cannot be read as the disc's autorun.inf");
        std::string program = disc::autorunProgram(text);
        if (program.empty())
            return refuse(own->name, "names no program to start (open= in [autorun])");
        std::string folded = disc::windowsFold(program);
        for (const ImageEntry& e : plan_.entries)
            if (!e.folder && disc::windowsFold(e.name) == folded) return;
        refuse(own->name, "open= names " + program + ", which is not on the disc");
    }

    const ImageRequest& request_;
    ImagePlan& plan_;
    std::vector<std::string> refusals_;
    FileKey output_{};
    bool hasOutput_ = false;
};

}  // namespace

std::vector<std::string> planImage(const ImageRequest& request, ImagePlan& plan) {
    plan = ImagePlan{};
    plan.label = request.label;
    std::vector<std::string> refusals = Planner(request, plan).run();
    for (const ImageEntry& e : plan.entries) plan.bytes += e.size;
    return refusals;
}
