#include "skin/dialog_progress_sink.h"

#include "fw/application.h"
#include "skin/progress_dialog.h"

namespace {

class DialogDisplay : public platform::ProgressDisplay {
public:
    explicit DialogDisplay(std::unique_ptr<ProgressDialog> dialog) : dialog_(std::move(dialog)) {}
    ~DialogDisplay() override { dialog_->destroy(); }
    void setText(const std::string& text, int low, int high) override {
        dialog_->setText(text, low, high);
    }
    void setPos(int pos) override { dialog_->setPos(pos); }

private:
    std::unique_ptr<ProgressDialog> dialog_;
};

}  // namespace

std::unique_ptr<platform::ProgressDisplay> DialogProgressSink::open(
    platform::ProceedFlag* proceedFlag, bool hideCancel, const std::string& title, bool minimized) {
    auto dialog = std::make_unique<ProgressDialog>(proceedFlag, hideCancel, title, minimized);
    if (!dialog->created()) return nullptr;
    return std::make_unique<DialogDisplay>(std::move(dialog));
}

bool DialogProgressSink::pumpMessages() {
    return fw::pumpWaitingMessages();
}
