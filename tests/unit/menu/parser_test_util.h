#pragma once
#include <gtest/gtest.h>

#include <string>

#include "menu/menu_parser.h"
#include "support/fakes.h"

// Parses scripts written into a scratch folder with recording fakes.
struct ParserHarness {
    testing_support::ScratchDir dir;
    testing_support::FakeSystem fake;
    MenuParseEnvironment env;
    MenuFilePtr file;

    ParserHarness() {
        env.system = fake.system();
        env.trace = nullptr;
    }
    std::string write(const std::string& name, const std::string& text) {
        return dir.write(name, text).string();
    }
    int parse(const std::string& name, const std::string& text, bool headerOnly = false) {
        return parseMenuScript(write(name, text), file, headerOnly, false, env);
    }
    std::string lastMessage() const {
        return fake.messages.messages.empty() ? "" : fake.messages.messages.back().text;
    }
};

// Joins lines with CR LF, as scripts written on Windows are.
inline std::string lines(std::initializer_list<const char*> l) {
    std::string s;
    for (const char* x : l) {
        s += x;
        s += "\r\n";
    }
    return s;
}
