#include "progress_output.h"

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

StderrProgress::StderrProgress(std::string label, bool bytes)
    : ConsoleProgress(stderr, isatty(fileno(stderr)) != 0, std::move(label), bytes,
                      platform::systemClock()) {}
