#pragma once
// Message loops of every thread go through here, so that a dialog (modeless ones too) gets
// its keys: Enter, Escape, Tab and the mnemonics of its buttons.
#include <windows.h>

namespace fw {

// Hands a message to the dialog it is for (IsDialogMessage), or translates and dispatches it.
void dispatchMessage(MSG& msg);
// Waits for the thread's next message and dispatches it; false on WM_QUIT (its code in
// quitCode) or a failure of GetMessage (quitCode -1).
bool pumpMessage(int& quitCode);

}  // namespace fw
