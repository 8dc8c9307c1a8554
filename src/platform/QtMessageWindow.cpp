#include "QtMessageWindow.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>

namespace ferrowin {

TQtMessageWindow::TQtMessageWindow() {
  QObject::connect(&Timer, &QTimer::timeout, this, [this] {
    if (OnTimer) OnTimer();
  });
}

void TQtMessageWindow::Post(int code, std::unique_ptr<TEventRecord> record) {
  {
    std::lock_guard lock(Lock);
    Queue.emplace_back(code, std::move(record));
    if (Scheduled) return;  // the queued Drain takes this one too
    Scheduled = true;
  }
  ScheduleDrain();
}

void TQtMessageWindow::ScheduleDrain() {
  QMetaObject::invokeMethod(this, [this] { Drain(); }, Qt::QueuedConnection);
}

void TQtMessageWindow::Drain() {
  std::size_t budget = 0;  // what came later waits for the next turn, after input and painting
  {
    std::lock_guard lock(Lock);
    Scheduled = false;
    budget = Queue.size();
  }
  const QPointer<QObject> alive(this);  // a handler may delete the component and its window
  for (; budget > 0; --budget) {
    std::pair<int, std::unique_ptr<TEventRecord>> message;
    bool scheduleNext = false;
    {
      std::lock_guard lock(Lock);
      if (Queue.empty()) return;
      message = std::move(Queue.front());
      Queue.pop_front();
      // A handler that runs an event loop of its own still sees the messages after its own.
      scheduleNext = !Queue.empty() && !Scheduled;
      Scheduled = Scheduled || scheduleNext;
    }
    if (scheduleNext) ScheduleDrain();
    if (OnMessage) OnMessage(message.first, std::move(message.second));
    if (!alive) return;
  }
}

void TQtMessageWindow::StartTimer(std::chrono::milliseconds period) {
  Timer.start(period);
}

void TQtMessageWindow::StopTimer() { Timer.stop(); }

void InstallQtMessageWindows() {
  SetMessageWindowFactory([]() -> std::unique_ptr<TMessageWindow> { return std::make_unique<TQtMessageWindow>(); });
}

}  // namespace ferrowin
