#pragma once
// Helpers for the view tests: waiting on the Qt event loop with a deadline, a fixture that
// keeps each test's files to itself and lets no connection outlive its test, and a recorder
// of a host view's state codes.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <vector>

#include "EngineTestSupport.h"
#include "FTPCompThread.h"
#include "HostView.h"

namespace ferrowin::test {

// Runs the Qt event loop until done() holds or the time is up; returns done().
inline bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
  if (done()) return true;
  QEventLoop loop;
  QTimer tick;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
    if (done() || std::chrono::steady_clock::now() >= deadline) loop.quit();
  });
  tick.start(5);
  loop.exec();
  return done();
}

class TViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("FERROWIN_HOME", Home.Path().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (Home.Path() + "/xdg").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (Home.Path() + "/data").c_str(), 1);
    auto& s = EngineSettings();
    s.Ping = true;
    s.QuickDisconnect = false;
    s.TimeOut = 10000;
    s.RetryDelay = 1;
    s.MaxAttempts = 2;
  }
  void TearDown() override {
    Release();
    EXPECT_TRUE(TFTPThread::WaitForWorkers(std::chrono::seconds(15))) << "a worker outlived its test";
    QCoreApplication::processEvents();
  }
  // Tests destroy their windows here, before the workers are waited for.
  virtual void Release() {}
  TTempDir Home;
};

// The state codes a host view raised, without the status updates (code 0).
struct TStateRecorder {
  explicit TStateRecorder(THostView& view) {
    view.OnUpdateState = [this](TCustomView&, int state, int) {
      if (state != 0) States.push_back(state);
    };
  }
  [[nodiscard]] bool Has(int state) const {
    return std::find(States.begin(), States.end(), state) != States.end();
  }
  std::vector<int> States;
};

}  // namespace ferrowin::test
