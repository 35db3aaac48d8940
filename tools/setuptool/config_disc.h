#pragma once
// The options shared by setuptool config and resolve: a setup data folder and a language.
#include <string>

#include "command.h"
#include "config/setup_config.h"

struct DiscArguments {
    std::string disc;
    int language = -1;  // -1: the disc's default language
    std::string text;   // resolve only
};

// Reads DISC [--language N] and, when wantText, one TEXT. False on bad arguments.
bool parseDiscArguments(const Arguments& args, bool wantText, DiscArguments& out);

// Loads the configuration of the folder; reports a missing folder or an unloadable skin on
// standard error. Returns 2 for a missing folder, 1 when load failed, 0 on success.
int loadDisc(const DiscArguments& args, SetupConfig& config);
