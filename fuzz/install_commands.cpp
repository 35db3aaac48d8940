// Registry values and menu targets of any content: the installer look-ups, the command lines
// built from what they find, and the opening of documents, URLs and programs. The input is
// split at zero bytes into the fields below; checks abort on a result that breaks its rule.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "actions/document_opener.h"
#include "actions/install_command.h"
#include "actions/installer_finder.h"
#include "actions/text_rules.h"
#include "support/action_fakes.h"

namespace {

using platform::RegistryRoot;

enum Field {
    SIS_ID,
    SIS_COMMAND,
    APP_PATH,
    PRC_COMMAND,
    HTML_ID,
    HTML_COMMAND,
    TARGET,
    VIEWER,
    BASE,
    PROGRAM,
    FIELD_COUNT
};

[[noreturn]] void broken(const char* rule, const std::string& text) {
    std::fprintf(stderr, "%s: [%s]\n", rule, text.c_str());
    std::abort();
}

bool isSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

void checkTextRules(const std::string& text) {
    std::string unquoted = actions::unquoteCommand(text);
    if (text.find(unquoted) == std::string::npos) broken("unquote invents text", text);
    if (!text.empty() && text[0] == '"' && unquoted.find('"') != std::string::npos)
        broken("unquote keeps a quote", text);

    // Quoting only adds quotes: without the two it added, the command is unchanged.
    std::string quoted = actions::quoteProgram(text);
    if (quoted != text) {
        // Some split text = head + tail must give quoted = '"' head '"' tail, head with a blank.
        if (quoted.size() != text.size() + 2 || quoted[0] != '"') broken("quote changes", text);
        std::size_t prefix = 0, suffix = 0;
        while (prefix < text.size() && quoted[prefix + 1] == text[prefix]) ++prefix;
        while (suffix < text.size() &&
               quoted[quoted.size() - 1 - suffix] == text[text.size() - 1 - suffix])
            ++suffix;
        bool fits = false;
        for (std::size_t k = text.size() - suffix; k <= prefix && !fits; ++k)
            fits = quoted[k + 1] == '"' && text.substr(0, k).find(' ') != std::string::npos;
        if (!fits) broken("quote changes", text);
    } else if (!text.empty() && text[0] != '"' && text.find(' ') != std::string::npos &&
               actions::toLowerAscii(text).find(".exe") == std::string::npos) {
        broken("blank left unquoted", text);
    }

    std::string escaped = text;
    actions::escapeUrl(escaped);
    std::size_t begin = 0, end = text.size();
    while (begin < end && isSpace(text[begin])) ++begin;
    while (end > begin && isSpace(text[end - 1])) --end;
    std::size_t expected = end - begin;
    for (std::size_t i = begin; i < end; ++i)
        if (std::string(" <>\"#+{}|^~[]`").find(text[i]) != std::string::npos) expected += 2;
    if (escaped.find_first_of("\\ <>\"#+{}|^~[]`") != std::string::npos)
        broken("escape leaves an unsafe byte", text);
    if (escaped.size() != expected) broken("escape length", text);

    std::string name = actions::handlerProgramName(text);
    if (!name.empty()) {
        std::string pattern = actions::toLowerAscii("\\" + name + ".exe");
        if (actions::toLowerAscii(text).find(pattern) == std::string::npos ||
            name.find('\\') != std::string::npos)
            broken("handler name not in command", text);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> fields(FIELD_COUNT);
    std::size_t field = 0;
    for (std::size_t i = 0; i < size && field < FIELD_COUNT; ++i) {
        if (data[i] == 0)
            ++field;
        else
            fields[field] += static_cast<char>(data[i]);
    }
    for (const std::string& f : fields) checkTextRules(f);

    // The look-ups over a registry holding the fields under the keys they read.
    testing_support::FakeRegistry registry;
    registry.addKey(RegistryRoot::ClassesRoot, ".SIS", fields[SIS_ID]);
    registry.addKey(RegistryRoot::ClassesRoot, fields[SIS_ID] + "\\shell\\open\\command",
                    fields[SIS_COMMAND]);
    if (!fields[APP_PATH].empty())
        registry.addKey(RegistryRoot::LocalMachine,
                        "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\CEAPPMGR.EXE",
                        fields[APP_PATH]);
    registry.addKey(RegistryRoot::ClassesRoot, ".PRC");
    registry.addKey(RegistryRoot::LocalMachine, "Software\\Classes\\prcFile\\shell\\open\\command",
                    fields[PRC_COMMAND]);
    registry.addKey(RegistryRoot::ClassesRoot, ".html", fields[HTML_ID]);
    registry.addKey(RegistryRoot::ClassesRoot, fields[HTML_ID] + "\\shell\\open\\command",
                    fields[HTML_COMMAND]);
    actions::InstallerFinder finder(registry);
    bool present[4] = {};
    bool any = actions::detectInstallers(false, present, finder);
    if (any != (present[0] || present[1] || present[2] || present[3])) broken("any", "");
    if (present[2] && finder.pocketPcInstallerPath.empty()) broken("empty Pocket PC path", "");
    if (present[3] && finder.palmInstallerCommand.find(" %1", 1) != std::string::npos)
        broken("Palm argument kept", finder.palmInstallerCommand);
    std::vector<std::string> files = {fields[TARGET], fields[BASE] + fields[TARGET]};
    actions::installerCommandLine(finder.psionInstallerCommand, actions::palmFileList(files));

    testing_support::FakeShell shell;
    testing_support::FakeProcessRunner processes;
    testing_support::FakeEnvironment environment;
    actions::ActionServices services{platform::System{}, &registry, &processes, &shell,
                                     &environment,       nullptr};
    shell.version = fields[VIEWER].size() % 2 ? 0x60000 : 0x40000;
    actions::DocumentOpener(services, nullptr, fields[TARGET], fields[VIEWER], fields[BASE])
        .openDocument();
    if (shell.opens.size() != 1) broken("a document opens once", fields[TARGET]);
    actions::ProgramLauncher(services, nullptr, fields[PROGRAM], fields[BASE]).launchProgram();
    if (shell.opens.size() != 2) broken("a program starts once", fields[PROGRAM]);
    if (!processes.commandLines.empty()) broken("launching runs no installer", fields[PROGRAM]);
    return 0;
}
