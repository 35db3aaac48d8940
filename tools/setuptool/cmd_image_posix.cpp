// setuptool image: the last step of a disc, the CD image to burn or to mount, made only from
// a disc that passes its check and whose every name Windows reads as it is.
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>

#include "cmd_image.h"
#include "command.h"
#include "disc/image_volume.h"
#include "disc_check.h"
#include "image_plan.h"
#include "iso_writer.h"
#include "json_text.h"
#include "output_file.h"

namespace {

namespace fs = std::filesystem;

const char* const HELP =
    "Writes OUT.iso, an ISO 9660 image of DISC with Joliet names (what Windows reads) and\n"
    "Rock Ridge (what Linux reads), file contents and times as in DISC, files read-only.\n"
    "Nothing is written unless:\n"
    "  the disc passes the check of setuptool check --all (--force: only warned about);\n"
    "  Setup.exe stands at the root (--setup PATH puts that file there in the image);\n"
    "  every name fits Joliet (64 UTF-16 characters, none of * / : ; ? \\) and no two names\n"
    "  of one folder are one for Windows (case, trailing dots and blanks);\n"
    "  the label holds only A-Z, 0-9 and _, at most 16 (default: made from text 1 of the\n"
    "  first language);\n"
    "  the disc's own autorun.inf, if any, starts a program that is on the disc; without\n"
    "  one, an autorun.inf that starts Setup.exe is added.\n"
    "Links, devices and pipes in DISC are refused. OUT.iso is written under a temporary name\n"
    "beside it and renamed when complete. Exit status 0: the image is written; 1: refused or\n"
    "failed (each refusal names the file and the rule); 2: the disc cannot be read.\n";

int fail(const std::string& text) {
    std::fprintf(stderr, "setuptool image: %s\n", text.c_str());
    return 1;
}

// The report's missing files, each after its menu's line.
void printMissing(std::FILE* report) {
    std::rewind(report);
    std::string header;
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, report)) {
        std::string line(buffer);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        if (line.rfind("Checking menu ", 0) == 0) {
            header = line;
        } else if (line != "All OK.") {
            if (!header.empty()) std::fprintf(stderr, "  %s\n", header.c_str());
            header.clear();
            std::fprintf(stderr, "    %s\n", line.c_str());
        }
    }
}

// 0 when the disc passes its check, or fails it and force lets it by.
int checkDisc(DiscCheck& check, const std::string& disc, bool force) {
    if (int status = check.load(disc)) return status;
    platform::FilePtr report(std::tmpfile());
    if (!report) return fail("cannot make the check's report");
    if (check.check(report.get()).allOk) return 0;
    std::fprintf(stderr, "setuptool image: %s fails its check (setuptool check --all):\n",
                 disc.c_str());
    printMissing(report.get());
    if (force) {
        std::fprintf(stderr, "setuptool image: --force: the image is made all the same\n");
        return 0;
    }
    return 1;
}

// What OUT may be: a new name or a plain file, in a folder that exists.
bool refuseOutput(const fs::path& output, std::string& error) {
    struct stat st;
    if (::stat(output.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        error = output.string() + ": not a plain file (a folder, a device or a pipe)";
        return true;
    }
    return false;
}

int makeImage(const ImageRequest& request, const std::string& discArg, bool labelGiven,
              bool force) {
    std::string error;
    if (refuseOutput(request.output, error)) return fail(error);
    if (labelGiven)
        if (std::string rule = disc::labelRefusal(request.label); !rule.empty())
            return fail("label " + request.label + ": " + rule);
    DiscCheck check;
    if (int status = checkDisc(check, discArg, force)) return status;

    ImageRequest planned = request;
    if (!labelGiven) {
        check.config().selectLanguage(0);
        planned.label = disc::labelFromTitle(check.config().getText(1));
    }
    ImagePlan plan;
    std::vector<std::string> refusals = planImage(planned, plan);
    if (!refusals.empty()) {
        for (const std::string& r : refusals)
            std::fprintf(stderr, "setuptool image: %s\n", r.c_str());
        std::fprintf(stderr, "setuptool image: no image written\n");
        return 1;
    }

    fs::path temp;
    platform::FilePtr file = createTemporary(request.output, temp);
    if (!file) return fail("cannot write " + request.output.string());
    long long size = 0;
    {
        StderrProgress line("image", true);
        size = writeIsoImage(plan, request.disc, file.get(), line, error);
        line.finish();
    }
    if (std::fclose(file.release()) != 0 && size >= 0) {
        size = -1;
        error = "cannot write " + request.output.string();
    }
    if (size >= 0 &&
        !platform::systemFileSystem().renameFile(temp.string(), request.output.string())) {
        size = -1;
        error = "cannot write " + request.output.string();
    }
    if (size < 0) {
        std::error_code ec;
        fs::remove(temp, ec);
        return fail(error);
    }
    std::size_t files = 0;
    for (const ImageEntry& e : plan.entries) files += e.folder ? 0 : 1;
    printJson({{"image", request.output.string()},
               {"label", plan.label},
               {"files", files + (plan.autorun.empty() ? 0 : 1)},
               {"autorun", plan.autorun.empty() ? "kept" : "added"},
               {"size", size}});
    return 0;
}

int run(const Arguments& args) {
    ImageRequest request;
    bool force = false, labelGiven = false;
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--force") {
            force = true;
        } else if (args[i] == "--label" && i + 1 < args.size()) {
            request.label = args[++i];
            labelGiven = true;
        } else if (args[i] == "--setup" && i + 1 < args.size()) {
            request.setup = args[++i];
        } else if (!args[i].empty() && args[i].rfind("--", 0) != 0) {
            paths.push_back(args[i]);
        } else {
            return usageError(IMAGE_USAGE);
        }
    }
    if (paths.size() != 2) return usageError(IMAGE_USAGE);
    std::error_code ec;
    request.disc = fs::absolute(paths[0], ec).lexically_normal();
    request.output = paths[1];
    return makeImage(request, paths[0], labelGiven, force);
}

const CommandRegistration registration("image", IMAGE_USAGE, run, HELP);

}  // namespace
