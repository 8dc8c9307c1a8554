#pragma once
// The hidden window of a component: workers post notifications to it from any thread, and it
// runs them, in posting order, on the thread that owns it, together with a periodic timer.
// The user interface supplies a Qt implementation; TMessagePump serves tests and tools.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "FTPCompEvents.h"

namespace ferrowin {

class TMessageWindow {
 public:
  using TMessageHandler = std::function<void(int code, std::unique_ptr<TEventRecord> record)>;

  virtual ~TMessageWindow() = default;
  // Any thread. A record posted to a window that is gone is dropped.
  virtual void Post(int code, std::unique_ptr<TEventRecord> record) = 0;
  // Owner's thread only.
  virtual void StartTimer(std::chrono::milliseconds period) = 0;
  virtual void StopTimer() = 0;

  TMessageHandler OnMessage;
  std::function<void()> OnTimer;
};

using TMessageWindowFactory = std::function<std::unique_ptr<TMessageWindow>()>;

// Components create their windows through this factory; by default windows of
// TMessagePump::Default(). The user interface installs its own at start.
void SetMessageWindowFactory(TMessageWindowFactory factory);
std::unique_ptr<TMessageWindow> CreateMessageWindow();

// A message loop without a user interface: posted messages and timers run on the thread
// that calls ProcessMessages.
class TMessagePump {
 public:
  TMessagePump();
  ~TMessagePump();
  TMessagePump(const TMessagePump&) = delete;
  TMessagePump& operator=(const TMessagePump&) = delete;

  static TMessagePump& Default();

  std::unique_ptr<TMessageWindow> CreateWindow();

  // Runs what is posted and due until the time is up; returns how many messages ran.
  int ProcessMessages(std::chrono::milliseconds timeout);
  // Runs messages until done() holds or the time is up; returns done().
  bool ProcessUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

  struct TState;

 private:
  using Clock = std::chrono::steady_clock;
  // Runs one message or timer tick; false when the deadline passed with nothing to run.
  bool DispatchOne(Clock::time_point deadline);

  std::shared_ptr<TState> State;
};

}  // namespace ferrowin
