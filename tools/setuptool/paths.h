#pragma once
// setuptool holds its arguments and paths in UTF-8, as the core does. On Windows they come from
// the wide command line and meet the file system through UTF-16; on Linux they are the bytes
// the shell and the file system give, kept as they are.
#include <filesystem>
#include <string>

#include "command.h"

// The arguments after the program's name.
Arguments commandArguments(int argc, char** argv);

std::filesystem::path pathOf(const std::string& text);
std::string textOf(const std::filesystem::path& path);

// The name a file at relative (to the packed folder) gets in a package: the code page's bytes,
// with backslashes. False when a character has no byte in the code page.
bool packageNameOf(const std::filesystem::path& relative, std::string& name);
