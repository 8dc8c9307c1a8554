#pragma once
// A QApplication for the whole run of a widget test program (register it once per program
// with ::testing::AddGlobalTestEnvironment).

#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

namespace ferrowin::test {

class TQtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "ferrowin_tests";
    static char* argv[] = {name, nullptr};
    App = std::make_unique<QApplication>(argc, argv);
  }
  void TearDown() override { App.reset(); }
  std::unique_ptr<QApplication> App;
};

}  // namespace ferrowin::test
