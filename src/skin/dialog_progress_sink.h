#pragma once
// Progress of long operations shown in ProgressDialog windows, for Setup.exe.
#include "platform/progress_sink.h"

class DialogProgressSink : public platform::ProgressSink {
public:
    std::unique_ptr<platform::ProgressDisplay> open(platform::ProceedFlag* proceedFlag,
                                                    bool hideCancel, const std::string& title,
                                                    bool minimized) override;
    bool pumpMessages() override;
};
