#include "config/profile_reader.h"

std::unique_ptr<ProfileReader> openSystemProfile(platform::FileSystem& fs,
                                                 const std::string& path) {
    return openPortableProfile(fs, path);
}
