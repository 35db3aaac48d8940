#include "platform/file_system.h"

namespace platform {

std::size_t lastSeparator(const std::string& path) {
    return path.find_last_of("\\/");
}

}  // namespace platform
