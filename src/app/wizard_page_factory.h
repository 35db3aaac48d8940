#pragma once
// The Win32 wizard pages behind the run's page interface.
#include "run/run_pages.h"
#include "wizard/wizard_window.h"

class WizardPageFactory : public PageFactory {
public:
    // Every page made is handed this environment.
    explicit WizardPageFactory(const WizardEnvironment& environment) : environment_(environment) {}

    std::unique_ptr<ChoiceRunPage> choiceRadioPage() override;
    std::unique_ptr<CheckChoiceRunPage> choiceCheckPage() override;
    std::unique_ptr<AcceptRunPage> acceptPage() override;
    std::unique_ptr<TextRunPage> textPage() override;
    std::unique_ptr<CheckListRunPage> checkListPage(Menu& menu) override;
    std::unique_ptr<CheckListRunPage> checkListViewPage(Menu& menu) override;
    std::unique_ptr<ChoiceRunPage> radioPage(Menu& menu) override;
    std::unique_ptr<ChoiceRunPage> radioListViewPage(Menu& menu) override;

private:
    WizardEnvironment environment_;
};
