#include "actions/install_command.h"

#include "actions/text_rules.h"

namespace actions {

std::string quoteProgram(const std::string& command) {
    if (command.empty() || command[0] == '"') return command;
    // An unquoted registered command may carry its arguments after the program.
    std::string lower = toLowerAscii(command);
    for (std::size_t pos = lower.find(".exe"); pos != std::string::npos;
         pos = lower.find(".exe", pos + 1)) {
        std::size_t end = pos + 4;
        if (end == command.size() || command[end] == ' ')
            return quoteIfBlank(command.substr(0, end)) + command.substr(end);
    }
    return quoteIfBlank(command);
}

std::string installerCommandLine(const std::string& program, const std::string& filePart) {
    return quoteProgram(program) + " " + filePart;
}

std::string palmFileList(const std::vector<std::string>& paths) {
    std::string list;
    for (const std::string& p : paths) list += quoteIfBlank(p) + " ";
    return list;
}

}  // namespace actions
