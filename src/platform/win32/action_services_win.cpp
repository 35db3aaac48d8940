#include "actions/action_services.h"
#include "archive/package_extractor.h"

namespace actions {

ActionServices systemActionServices(const platform::System& system) {
    return ActionServices{system,
                          &platform::systemRegistry(),
                          &platform::systemProcessRunner(),
                          &platform::systemShell(),
                          &platform::systemEnvironment(),
                          [system](const std::string& package, const std::string& destination) {
                              return extractPackage(package, destination, system);
                          }};
}

}  // namespace actions
