#pragma once
// Parser of ".mnu" menu scripts.
#include <cstdio>
#include <string>

#include "menu/menu_file.h"
#include "menu/program_version.h"
#include "platform/system.h"

// What the parser needs from the rest of the program.
struct MenuParseEnvironment {
    platform::System system;
    int languageCount = 0;     // languages of the configuration
    std::string progressText;  // text 24 of the configuration, shown while parsing
    std::string appCaption;    // title of the progress display; set by loadFullMenuFile
    std::string messageCaption = "Setup";
    std::FILE* trace = stderr;  // every line the keyword loop handles, as "[%s]\n"
    // Bytes below 32 and 127 written as \xHH, so that a script cannot send control sequences
    // to the terminal that shows the trace.
    bool escapeTrace = false;
    // Setup.exe on Windows: an ANSI script's lines converted to UTF-8 as they are read, so the
    // MenuFile holds UTF-8 alone (sourceEncoding of its records still says ANSI).
    bool ansiAsUtf8 = false;
};

// Result codes of parseMenuScript; 0 is success.
enum MenuParseResult : int {
    MENU_OK = 0,
    MENU_ERR_READ = -1,
    MENU_ERR_NO_MENU = -2,
    MENU_ERR_BAD_MENU_LINE = -3,
    MENU_ERR_UNKNOWN_KEYWORD = -4,
    MENU_ERR_BUFFER = -6,
    MENU_ERR_OPTION_LINE1 = -9,
    MENU_ERR_OPTION_LINE2 = -10,
    MENU_ERR_DEVICE_UNKNOWN = -30,
    MENU_ERR_HEADER = -31,
    MENU_ERR_COUNT_MISSING = -32,
    MENU_ERR_COUNT_RANGE = -33,
    MENU_ERR_BLOCK_MEMORY = -34,
    MENU_ERR_MENUS_FOUND = -91,
    MENU_ERR_EOF = -95,
    MENU_ERR_OPTIONS_FOUND = -97,
    MENU_ERR_OPTION_MEMORY = -99,
    MENU_ERR_CANCELLED = -200,
};

// Parses one script. The new MenuFile is stored into out as soon as it exists, so after a
// late failure the caller holds a partly filled one. Every failure shows one message.
int parseMenuScript(const std::string& path, MenuFilePtr& out, bool headerOnly, bool withProgress,
                    MenuParseEnvironment& env);

// Replaces the header-only MenuFile at list[index] by a full parse of its script.
int loadFullMenuFile(MenuFileList& list, std::size_t index, MenuParseEnvironment& env);
