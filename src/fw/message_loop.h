#pragma once
// Message loops of every thread go through here, so that a dialog (modeless ones too) gets
// its keys: Enter, Escape, Tab and the mnemonics of its buttons.
#include <windows.h>

namespace fw {

// Hands a message to the dialog it is for (IsDialogMessage), or translates and dispatches it.
void dispatchMessage(MSG& msg);
// Gets and dispatches messages until WM_QUIT (its code) or a failure of GetMessage (-1).
int runMessageLoop();

}  // namespace fw
