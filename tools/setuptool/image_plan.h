#pragma once
// What goes into a disc's CD image, decided before anything is written: the disc folder's
// files and folders under the names and times they have, Setup.exe at the root, autorun.inf,
// the label. Every name that the image would lose or that Windows would read as another is
// refused, with the file and the rule.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct ImageEntry {
    std::string name;              // below the root, '/' between the parts
    std::filesystem::path source;  // the file or folder on disc
    bool folder = false;
    std::uint64_t size = 0;
};

struct ImageRequest {
    std::filesystem::path disc;
    std::filesystem::path output;  // left out when it lies in the disc folder
    std::filesystem::path setup;   // empty: the disc's own Setup.exe
    std::string label;
};

struct ImagePlan {
    std::vector<ImageEntry> entries;  // each folder before what it holds
    std::string autorun;  // the autorun.inf made for the disc; empty when it brings its own
    std::string label;
    std::uint64_t bytes = 0;  // of the files' contents
};

// The name of Setup.exe and of autorun.inf in the image.
inline constexpr const char* SETUP_NAME = "Setup.exe";
inline constexpr const char* AUTORUN_NAME = "autorun.inf";

// Fills plan; the refusals, one "NAME: rule" each, when the folder cannot become an image.
std::vector<std::string> planImage(const ImageRequest& request, ImagePlan& plan);
