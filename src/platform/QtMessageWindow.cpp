#include "QtMessageWindow.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace ferrowin {

TQtMessageWindow::TQtMessageWindow() {
  QObject::connect(&Timer, &QTimer::timeout, this, [this] {
    if (OnTimer) OnTimer();
  });
}

void TQtMessageWindow::Post(int code, std::unique_ptr<TEventRecord> record) {
  // Qt copies the functor it queues, so the record travels in a shared holder; it is released
  // with the queued call, delivered or not.
  auto holder = std::make_shared<std::unique_ptr<TEventRecord>>(std::move(record));
  QMetaObject::invokeMethod(
      this, [this, code, holder] { Deliver(code, std::move(*holder)); }, Qt::QueuedConnection);
}

void TQtMessageWindow::Deliver(int code, std::unique_ptr<TEventRecord> record) {
  if (OnMessage) OnMessage(code, std::move(record));
}

void TQtMessageWindow::StartTimer(std::chrono::milliseconds period) {
  Timer.start(period);
}

void TQtMessageWindow::StopTimer() { Timer.stop(); }

void InstallQtMessageWindows() {
  SetMessageWindowFactory([]() -> std::unique_ptr<TMessageWindow> { return std::make_unique<TQtMessageWindow>(); });
}

}  // namespace ferrowin
