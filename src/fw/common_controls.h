#pragma once
// The common controls that our templates and pages use (progress bars, list views),
// registered once per process before the first dialog.
namespace fw {

void initCommonControls();

}  // namespace fw
