#pragma once
// The Win32 wizard pages behind the run's page interface.
#include "run/run_pages.h"

class WizardPageFactory : public PageFactory {
public:
    std::unique_ptr<ChoiceRunPage> choiceRadioPage() override;
    std::unique_ptr<CheckChoiceRunPage> choiceCheckPage() override;
    std::unique_ptr<AcceptRunPage> acceptPage() override;
    std::unique_ptr<TextRunPage> textPage() override;
    std::unique_ptr<CheckListRunPage> checkListPage(Menu& menu) override;
    std::unique_ptr<CheckListRunPage> checkListViewPage(Menu& menu) override;
    std::unique_ptr<ChoiceRunPage> radioPage(Menu& menu) override;
    std::unique_ptr<ChoiceRunPage> radioListViewPage(Menu& menu) override;
};
