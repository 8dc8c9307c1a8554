// The view tests run inside one QApplication, with the engine's notifications arriving
// through the Qt event loop as they do in the program.

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "QtMessageWindow.h"

int main(int argc, char** argv) {
  // Test discovery runs without the CTest environment, and there is no screen either way.
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  ferrowin::InstallQtMessageWindows();
  return RUN_ALL_TESTS();
}
