// setuptool parse: shows what Setup sees in a menu script.
#include <cstdio>
#include <cstdlib>

#include "command.h"
#include "json_text.h"
#include "last_message_sink.h"
#include "menu/menu_parser.h"

namespace {

const char* const USAGE = "parse [--header-only] [--languages N] SCRIPT";

Json intArray(const std::int32_t* values, int count) {
    if (!values) return nullptr;
    Json a = Json::array();
    for (int i = 0; i < count; ++i) a.push_back(values[i]);
    return a;
}

Json menuJson(const Menu& m, bool headerOnly) {
    auto text = [&m](const char* t) { return jsonText(t, m.textEncoding); };
    Json options = nullptr;
    if (m.options) {
        options = Json::array();
        for (int i = 0; i < m.optionCount; ++i) {
            const MenuOption& o = m.options[i];
            options.push_back({{"kind", static_cast<int>(o.kind)},
                               {"label", text(o.label)},
                               {"target", text(o.target)},
                               {"copyright", text(o.copyright)},
                               {"targetMenu", o.targetMenu},
                               {"autoFlag", o.autoFlag}});
        }
    }
    // A header-only record holds the declared count but no arrays.
    int selectedCount = headerOnly ? 0 : m.optionCount;
    return {{"index", m.index},
            {"menuCount", m.menuCount},
            {"languageCount", m.languageCount},
            {"style", static_cast<int>(m.style)},
            {"languageStartMenu", intArray(m.languageStartMenu, m.languageCount)},
            {"title", text(m.title)},
            {"topText", text(m.topText)},
            {"bottomText", text(m.bottomText)},
            {"version", text(m.version)},
            {"directory", byteText(m.directory)},
            {"packageFolder", text(m.packageFolder)},
            {"platformName", byteText(m.platformName)},
            {"registrationUrl", text(m.registrationUrl)},
            {"optionCount", m.optionCount},
            {"platformCode", m.platformCode},
            {"optionSelected", intArray(m.optionSelected, selectedCount)},
            {"autoEntered", m.autoEntered},
            {"options", options}};
}

int run(const Arguments& args) {
    bool headerOnly = false;
    int languages = 0;
    std::string script;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--header-only") {
            headerOnly = true;
        } else if (args[i] == "--languages" && i + 1 < args.size()) {
            languages = std::atoi(args[++i].c_str());
        } else if (script.empty() && args[i].rfind("--", 0) != 0) {
            script = args[i];
        } else {
            return usageError(USAGE);
        }
    }
    if (script.empty()) return usageError(USAGE);

    LastMessageSink sink;
    MenuParseEnvironment env;
    env.system = platform::consoleSystem();
    env.system.messages = &sink;
    env.languageCount = languages;
    env.escapeTrace = true;
    MenuFilePtr file;
    int result = parseMenuScript(script, file, headerOnly, false, env);

    // The same object as one printJson would write, but a menu at a time: a legal script of
    // hundreds of menus with thousands of options each would take gigabytes as one value.
    std::string head =
        Json{{"result", result}, {"message", byteText(sink.last)}}.dump(-1, ' ', true);
    head.back() = ',';  // the closing brace makes way for the menus
    head += "\"menus\":";
    std::fwrite(head.data(), 1, head.size(), stdout);
    if (!file) {
        std::fputs("null", stdout);
    } else {
        std::fputc('[', stdout);
        for (int i = 0; i < file->menuCount(); ++i) {
            if (i > 0) std::fputc(',', stdout);
            std::string menu = menuJson((*file)[i], headerOnly).dump(-1, ' ', true);
            std::fwrite(menu.data(), 1, menu.size(), stdout);
        }
        std::fputc(']', stdout);
    }
    std::fputs("}\n", stdout);
    return result == 0 ? 0 : 1;
}

const CommandRegistration registration("parse", USAGE, run);

}  // namespace
