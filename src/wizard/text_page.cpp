#include "wizard/text_page.h"

#include <oleacc.h>

bool TextPage::onInitDialog() {
    WizardWindow::onInitDialog();
    textBox_ = makeControl("EDIT",
                           WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE |
                               ES_READONLY | ES_WANTRETURN,
                           0, text_, FIRST_CHOICE_ID,
                           {contentRect.left, contentRect.top + 2 * lineHeight, contentRect.right,
                            contentRect.bottom - 2 * lineHeight});
    describeControl(textBox_, questionName(), ROLE_SYSTEM_TEXT);
    // The focus is the dialog's own choice.
    return true;
}
