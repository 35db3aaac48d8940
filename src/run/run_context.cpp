#include "run/run_context.h"

#include "config/setup_config.h"
#include "menu/program_version.h"
#include "run/run_pages.h"

namespace {

const char* const NO_MEMORY = "Error.\nNot enough memory.\nCannot run Setup.";

}  // namespace

std::string RunContext::text(int id) const {
    return config.getText(id);
}

std::string RunContext::expand(const char* source) const {
    return config.resolveText(orEmpty(source));
}

void RunContext::error(const std::string& message) {
    s.actions.system.messages->showMessage(message, s.messageCaption,
                                           platform::MessageIcon::Exclamation);
}

void RunContext::outOfMemory() {
    error(NO_MEMORY);
}

bool RunContext::showAcceptText(const std::string& documentName) {
    auto page = s.pages->acceptPage();
    if (!page) {
        outOfMemory();
        return false;
    }
    page->setAcceptText(documentName.empty() ? config.getFileText(FILE_TEXT_START)
                                             : config.loadTextFile(documentName));
    if (!page->hasAcceptText()) return true;
    page->setAcceptLabel(text(TEXT_ACCEPT_LABEL));
    page->setButtons(BUTTON_NEXT | BUTTON_CANCEL);
    page->setTopText(text(TEXT_ACCEPT_HEADING));
    page->setCaption(standardCaption());
    return page->runPage() == WIZ_NEXT;
}

std::string standardCaption() {
    return std::string("Setup ") + programVersion;
}
