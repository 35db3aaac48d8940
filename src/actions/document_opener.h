#pragma once
// Opens documents, URLs and programs named by menu options through the desktop shell.
#include <string>

#include "actions/action_services.h"

namespace actions {

class DocumentOpener {
public:
    DocumentOpener(const ActionServices& services, void* owner, std::string target,
                   std::string viewerPath, std::string baseFolder);
    // Opens the target with its associated handler, or a local page with the viewer when
    // the machine has no usable HTML association. Reports nothing.
    void openDocument();
    const std::string& target() const { return target_; }

private:
    bool viewerWanted();
    void escapeIfUnsafe();

    ActionServices services_;
    std::string target_;
    std::string viewerPath_;
    std::string baseFolder_;  // ends in a backslash; may be empty
    void* owner_;
};

class ProgramLauncher {
public:
    ProgramLauncher(const ActionServices& services, void* owner, std::string program,
                    std::string baseFolder);
    // Starts the program (arguments may follow its ".exe") in its own folder, or opens a
    // document with its associated program. Reports nothing.
    void launchProgram();

private:
    ActionServices services_;
    std::string program_;
    std::string baseFolder_;
    void* owner_;
};

// Trims white space at both ends, then turns backslashes into "/" and blank, < > " # + { }
// | ^ ~ [ ] ` into "%XX". A "%" already present stays.
void escapeUrl(std::string& text);

// The handler program name of an open command: the text between the nearest backslash and
// the last ".exe"; empty when there is none.
std::string handlerProgramName(const std::string& command);

// The document path as the viewer, which resolves it from its own folder, needs it.
std::string relativeToViewer(const std::string& viewerPath, const std::string& document);

}  // namespace actions
