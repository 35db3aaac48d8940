#pragma once
// Writes the planned image through libisofs: ISO 9660 with Joliet (what Windows reads) and
// Rock Ridge (what Linux reads), every file's content and times as on disc, every file
// read-only as on a pressed CD.
#include <cstdio>
#include <string>

#include "image_plan.h"
#include "progress_output.h"

// The image's size in bytes, or -1 with error set.
long long writeIsoImage(const ImagePlan& plan, const std::filesystem::path& disc, std::FILE* out,
                        StderrProgress& line, std::string& error);
