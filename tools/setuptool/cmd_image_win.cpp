// setuptool.exe has no CD image writer: the image is made by the native setuptool.
#include <cstdio>

#include "cmd_image.h"
#include "command.h"

namespace {

int run(const Arguments&) {
    std::fprintf(stderr,
                 "setuptool image: the CD image is made by the native setuptool (Linux), which "
                 "writes it through libisofs; setuptool.exe cannot make one\n");
    return 1;
}

const CommandRegistration registration("image", IMAGE_USAGE, run);

}  // namespace
