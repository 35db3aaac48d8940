#include "wizard/text_page.h"

#include <oleacc.h>

namespace {
// Two lines kept free above and below the box.
WizRect boxPlace(const WizardWindow& page) {
    const WizRect& c = page.contentRect;
    return {c.left, c.top + 2 * page.lineHeight, c.right, c.bottom - 2 * page.lineHeight};
}
}  // namespace

bool TextPage::onInitDialog() {
    WizardWindow::onInitDialog();
    textBox_ = makeControl("EDIT",
                           WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE |
                               ES_READONLY | ES_WANTRETURN,
                           0, text_, FIRST_CHOICE_ID, boxPlace(*this));
    describeControl(textBox_, questionName(), ROLE_SYSTEM_TEXT);
    // The focus is the dialog's own choice.
    return true;
}

void TextPage::layOutControls() {
    moveControl(textBox_, boxPlace(*this));
}
