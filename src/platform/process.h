#pragma once
// Starting other programs and watching them end.
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// The exit code a process reports while it still runs.
inline constexpr std::uint32_t STILL_ACTIVE_CODE = 259;

class Process {
public:
    virtual ~Process() = default;  // releases the handle; never ends the process
    // False when the exit code cannot be read any more.
    virtual bool exitCode(std::uint32_t& code) = 0;
};

class ProcessRunner {
public:
    virtual ~ProcessRunner() = default;
    // Starts a command line whose first part names the program, with the caller's
    // environment and current folder and no inherited handles. Null on failure, with the
    // system's error code in errorCode.
    virtual std::unique_ptr<Process> start(const std::string& commandLine,
                                           std::uint32_t& errorCode) = 0;
    // Blocks the calling thread.
    virtual void sleep(std::uint32_t milliseconds) = 0;
};

// The processes of this machine (Windows builds only).
ProcessRunner& systemProcessRunner();

}  // namespace platform
