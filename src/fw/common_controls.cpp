#include "fw/common_controls.h"

#include <commctrl.h>
#include <windows.h>

namespace fw {

void initCommonControls() {
    static const bool done = [] {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS | ICC_LISTVIEW_CLASSES};
        return ::InitCommonControlsEx(&controls) != FALSE;
    }();
    (void)done;
}

}  // namespace fw
