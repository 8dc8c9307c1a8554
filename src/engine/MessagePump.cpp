#include <algorithm>
#include <optional>

#include "MessageWindow.h"

namespace ferrowin {

using SteadyClock = std::chrono::steady_clock;

namespace {

// What a window shares with the pump: posts and timers find it through a weak reference,
// so a destroyed window simply stops receiving.
struct TWindowCore {
  TMessageWindow* Window = nullptr;
  bool TimerOn = false;
  SteadyClock::duration Period{};
  SteadyClock::time_point NextTick{};
};

struct TPosted {
  std::weak_ptr<TWindowCore> Target;
  int Code;
  std::unique_ptr<TEventRecord> Record;
};

}  // namespace

struct TMessagePump::TState {
  std::mutex Lock;
  std::condition_variable Wake;
  std::deque<TPosted> Queue;
  std::vector<std::weak_ptr<TWindowCore>> Windows;
};

namespace {

class TPumpWindow final : public TMessageWindow {
 public:
  explicit TPumpWindow(std::shared_ptr<TMessagePump::TState> state)
      : State(std::move(state)), Core(std::make_shared<TWindowCore>()) {
    Core->Window = this;
    std::lock_guard lock(State->Lock);
    State->Windows.push_back(Core);
  }
  ~TPumpWindow() override {
    std::lock_guard lock(State->Lock);
    Core->Window = nullptr;
    std::erase_if(State->Windows, [this](const auto& w) { return w.lock() == Core || w.expired(); });
  }
  void Post(int code, std::unique_ptr<TEventRecord> record) override {
    std::lock_guard lock(State->Lock);
    State->Queue.push_back({Core, code, std::move(record)});
    State->Wake.notify_all();
  }
  void StartTimer(std::chrono::milliseconds period) override {
    std::lock_guard lock(State->Lock);
    Core->TimerOn = true;
    Core->Period = period;
    Core->NextTick = SteadyClock::now() + period;
    State->Wake.notify_all();
  }
  void StopTimer() override {
    std::lock_guard lock(State->Lock);
    Core->TimerOn = false;
  }

 private:
  std::shared_ptr<TMessagePump::TState> State;
  std::shared_ptr<TWindowCore> Core;
};

TMessageWindowFactory& Factory() {
  static TMessageWindowFactory factory;
  return factory;
}

}  // namespace

void SetMessageWindowFactory(TMessageWindowFactory factory) { Factory() = std::move(factory); }

std::unique_ptr<TMessageWindow> CreateMessageWindow() {
  if (Factory()) return Factory()();
  return TMessagePump::Default().CreateWindow();
}

TMessagePump::TMessagePump() : State(std::make_shared<TState>()) {}
TMessagePump::~TMessagePump() = default;

TMessagePump& TMessagePump::Default() {
  static TMessagePump pump;
  return pump;
}

std::unique_ptr<TMessageWindow> TMessagePump::CreateWindow() { return std::make_unique<TPumpWindow>(State); }

int TMessagePump::ProcessMessages(std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  int ran = 0;
  while (DispatchOne(deadline)) ++ran;
  return ran;
}

bool TMessagePump::ProcessUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (!done())
    if (!DispatchOne(deadline)) return done();
  return true;
}

bool TMessagePump::DispatchOne(Clock::time_point deadline) {
  std::shared_ptr<TWindowCore> target;
  std::optional<TPosted> message;
  {
    std::unique_lock lock(State->Lock);
    for (;;) {
      auto nextWake = deadline;
      for (const auto& weak : State->Windows)
        if (auto w = weak.lock(); w && w->TimerOn) nextWake = std::min(nextWake, w->NextTick);
      State->Wake.wait_until(lock, nextWake, [&] { return !State->Queue.empty(); });
      const auto now = Clock::now();
      if (!State->Queue.empty()) {
        message.emplace(std::move(State->Queue.front()));
        State->Queue.pop_front();
        target = message->Target.lock();
        break;
      }
      for (const auto& weak : State->Windows) {
        auto w = weak.lock();
        if (w && w->TimerOn && w->NextTick <= now) {
          w->NextTick = now + w->Period;
          target = w;
          break;
        }
      }
      if (target) break;
      if (now >= deadline) return false;
    }
  }
  // The window runs its handlers outside the lock: they may post, or destroy the window.
  if (!target || !target->Window) return true;
  if (message) {
    if (target->Window->OnMessage) target->Window->OnMessage(message->Code, std::move(message->Record));
  } else if (target->Window->OnTimer) {
    target->Window->OnTimer();
  }
  return true;
}

}  // namespace ferrowin
