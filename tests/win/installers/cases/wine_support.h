#pragma once
// Helpers of the Wine tests that run the stand-in installers.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "support/crc32.h"
#include "support/ui_driver_win.h"

namespace wine_support {

// The Windows form of a folder named by a Unix path in the environment (Z: is the root).
std::string windowsPathFromEnv(const char* variable);
std::string binDir();      // the build's bin folder
std::string standinDir();  // bin\stand ins

// A log file of the stand-ins, named in STANDIN_LOG for every child started meanwhile.
class StandinLog {
public:
    explicit StandinLog(const std::string& folder);
    ~StandinLog();
    std::string read() const;
    // Waits until n records have been written completely.
    bool waitForRecords(int n) const;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

std::string readFileText(const std::string& path);
// Runs a command line (UTF-8) with its standard output and error in the file at outPath;
// its exit code, or -1 when it could not start or did not end within two minutes.
int runCapturing(const std::string& commandLine, const std::string& outPath);
bool writeFileText(const std::string& path, const std::string& text);
using testing_support::crc32;
using testing_support::waitUntil;

// Puts back the default value of a registry key (or its absence) when destroyed.
class KeyRestorer {
public:
    KeyRestorer(HKEY root, std::string path);
    ~KeyRestorer();

private:
    HKEY root_;
    std::string path_;
    std::optional<std::string> value_;
    bool existed_ = false;
};

bool keyExists(HKEY root, const std::string& path);
bool setDefaultValue(HKEY root, const std::string& path, const std::string& value);
bool createEmptyKey(HKEY root, const std::string& path);
void deleteKey(HKEY root, const std::string& path);

}  // namespace wine_support
