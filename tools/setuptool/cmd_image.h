#pragma once
// setuptool image: the CD image of a disc folder, made by the native tool only.
inline constexpr const char* IMAGE_USAGE =
    "image DISC OUT.iso [--label LABEL] [--setup PATH] [--force]";
