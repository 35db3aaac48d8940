// The wizard half of SetupApp: the start-up choices at the end of initInstance and Run.
#include <cstdio>

#include "app/setup_app.h"

bool SetupApp::runStartupChoices() {
    RunServices services{&config,          &menuFiles,       &pages_,       services_,
                         installer_.get(), &progressThread_, programTitle()};
    services.parseTrace = stderr;  // the parser's trace of the lines it handles
    wizard_ = std::make_unique<WizardRun>(services);
    return wizard_->runStartupChoices();
}

int SetupApp::run() {
    if (wizard_) wizard_->run();
    return exitInstance();
}
