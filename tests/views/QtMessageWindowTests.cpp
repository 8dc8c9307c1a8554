// The component's hidden window in the user interface: posts from any thread run on the
// user-interface thread in posting order, and a window that goes releases what it never ran.

#include <QThread>
#include <atomic>
#include <thread>

#include "QtMessageWindow.h"
#include "ViewTestSupport.h"

namespace ferrowin::test {
namespace {

struct TCounted : TEventRecord {
  explicit TCounted(std::atomic<int>& alive) : Alive(alive) { ++Alive; }
  ~TCounted() override { --Alive; }
  std::atomic<int>& Alive;
};

struct TWakeCounter : QObject {
  bool eventFilter(QObject*, QEvent* event) override {
    Wakes += event->type() == QEvent::MetaCall;
    return false;
  }
  int Wakes = 0;
};

TEST(QtMessageWindow, PostsFromWorkersRunInOrderOnTheUserInterfaceThread) {
  TQtMessageWindow window;
  TWakeCounter counter;
  window.installEventFilter(&counter);
  std::vector<int> codes;
  bool elsewhere = false;
  window.OnMessage = [&](int code, std::unique_ptr<TEventRecord>) {
    codes.push_back(code);
    elsewhere = elsewhere || QThread::currentThread() != qApp->thread();
  };
  std::thread worker([&] {
    for (int code = 1044; code <= 1057; ++code) window.Post(code, nullptr);
  });
  worker.join();
  ASSERT_TRUE(WaitFor([&] { return codes.size() == 14; }));
  EXPECT_FALSE(elsewhere);
  for (int i = 0; i < 14; ++i) EXPECT_EQ(codes[i], 1044 + i);
  // The burst wakes the thread once, plus once for a handler that waits in a loop of its own.
  EXPECT_LE(counter.Wakes, 2);
}

TEST(QtMessageWindow, AWindowThatGoesReleasesPendingRecords) {
  std::atomic<int> alive{0};
  {
    TQtMessageWindow window;
    int ran = 0;
    window.OnMessage = [&](int, std::unique_ptr<TEventRecord>) { ++ran; };
    std::thread worker([&] {
      for (int i = 0; i < 5; ++i) window.Post(1052, std::make_unique<TCounted>(alive));
    });
    worker.join();
    EXPECT_EQ(alive, 5);
    EXPECT_EQ(ran, 0);
  }
  EXPECT_EQ(alive, 0);
  QCoreApplication::processEvents();  // nothing of the window runs any more
}

// Handlers may wait in an event loop of their own for a later message, or end the component.
TEST(QtMessageWindow, AHandlerThatWaitsSeesLaterMessagesAndOneThatEndsTheWindowStopsIt) {
  std::vector<int> codes;
  auto window = std::make_unique<TQtMessageWindow>();
  window->OnMessage = [&](int code, std::unique_ptr<TEventRecord>) {
    codes.push_back(code);
    if (code == 1) {
      EXPECT_TRUE(WaitFor([&] { return codes.size() >= 2; }));
    }
    if (code == 3) window.reset();
  };
  std::thread worker([&] {
    for (int code = 1; code <= 4; ++code) window->Post(code, nullptr);
  });
  worker.join();
  ASSERT_TRUE(WaitFor([&] { return !window; }));
  QCoreApplication::processEvents();
  EXPECT_EQ(codes, (std::vector<int>{1, 2, 3}));
}

TEST(QtMessageWindow, TimerTicksUntilStopped) {
  TQtMessageWindow window;
  int ticks = 0;
  window.OnTimer = [&] { ++ticks; };
  window.StartTimer(std::chrono::milliseconds(5));
  ASSERT_TRUE(WaitFor([&] { return ticks >= 3; }));
  window.StopTimer();
  const int stopped = ticks;
  QCoreApplication::processEvents();
  EXPECT_EQ(ticks, stopped);
}

}  // namespace
}  // namespace ferrowin::test
