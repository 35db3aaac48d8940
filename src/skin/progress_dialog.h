#pragma once
// The small modeless window of long operations: one line of text, a progress bar and, as a
// rule, Cancel. Cancelling is cooperative: Cancel and closing the window only clear the
// owner's proceed byte; the window stays until its owner destroys it. Its layout and font
// follow the window's DPI.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "fw/dialog.h"
#include "fw/gdi.h"
#include "platform/progress_sink.h"
#include "rules/progress_layout.h"

class ProgressDialog : public fw::Dialog {
public:
    // Creates and shows the window at once (no owner window; parent is not used for it). The
    // caption is title, or "Setup " and the program's version when title is empty. A
    // minimized dialog shows only in the task bar, with "Close Setup" in its window menu.
    ProgressDialog(platform::ProceedFlag* proceedFlag, bool hideCancel, const std::string& title,
                   bool minimized, HWND parent = nullptr);
    ~ProgressDialog() override;

    bool created() const { return hwnd() != nullptr; }
    // Shows the bar with range low..high when high > low, hides it otherwise.
    void setText(const std::string& text, int low, int high);
    void setPos(int position);
    // Where the window's parts stand at dpi (96-DPI pixels of the template, scaled).
    ProgressLayout layoutAt(int dpi) const;

    std::uint8_t minimized;
    platform::ProceedFlag* proceedFlag;
    std::uint8_t hideCancel;

protected:
    bool onInitDialog() override;
    // Enter (the Cancel button hidden or not focused) must not end the window: its owner
    // still reports to it and destroys it.
    void onOk() override {}
    void onCancel() override;
    bool onClose() override;
    bool onDpiChanged(int dpi, const RECT& suggested) override;

private:
    void layOut(int dpi);

    fw::Font font_;  // the dialog's font at the window's scale; none at 96 DPI
    // Readers: the bar's percentage, told when it changes.
    std::unique_ptr<fw::Window> barTeller_;
    int low_ = 0, high_ = 0;
    std::string percent_;
};
