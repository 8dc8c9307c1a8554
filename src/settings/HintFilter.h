#pragma once
// Tool tips follow the ShowToolTips preference: a filter on the application swallows tool-tip
// events while ShowHints() is off.

namespace ferrowin {

// Installs the filter on the running QApplication once; does nothing without one.
void InstallHintFilter();

}  // namespace ferrowin
