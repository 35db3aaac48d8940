#pragma once
// The operating-system services of the installation and launching actions, beside the
// file system and message services of platform::System, so that tests can hand in fakes.
#include <functional>
#include <string>

#include "platform/environment.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/system.h"

namespace actions {

// Unpacks every file of a package into a folder (creating it); 0 on success, any other
// value on failure, after the unpacker has shown and logged its own error.
using PackageExtractor =
    std::function<int(const std::string& packagePath, const std::string& destination)>;

struct ActionServices {
    platform::System system;
    platform::Registry* registry;
    platform::ProcessRunner* processes;
    platform::Shell* shell;
    platform::Environment* environment;
    PackageExtractor extract;
};

// The services of this machine around the given System (Windows builds only).
ActionServices systemActionServices(const platform::System& system);

}  // namespace actions
