#pragma once
// Command lines handed to the desktop installers.
#include <string>
#include <vector>

namespace actions {

// The program part of an installer command, quoted when it holds a blank. A command that is
// already quoted, or whose text goes on after ".exe" with arguments, keeps those as they are.
std::string quoteProgram(const std::string& command);

// Program, one blank, file part.
std::string installerCommandLine(const std::string& program, const std::string& filePart);

// The Palm file part: each path (quoted when it holds a blank) followed by one blank.
std::string palmFileList(const std::vector<std::string>& paths);

}  // namespace actions
