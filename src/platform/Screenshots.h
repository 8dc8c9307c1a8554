#pragma once
// Pictures of windows for looking at the user interface: UI tests call SaveScreenshot for
// every window or dialog they open, and scripts/screenshots collects them.

#include <string>

class QWidget;

namespace ferrowin {

// Writes $FERROWIN_SHOTS/name.png with the widget as it is drawn now; nothing when the
// variable is not set. Returns whether a picture was written.
bool SaveScreenshot(QWidget* widget, const std::string& name);
// The whole screen, popups included (a window's own picture leaves them out).
bool SaveScreenScreenshot(const std::string& name);

}  // namespace ferrowin
