#pragma once
// The hidden window of a component in the user interface: workers post notifications from
// their threads, and they run on the user-interface thread through the Qt event loop.

#include <QObject>
#include <QTimer>
#include <deque>
#include <mutex>
#include <utility>

#include "MessageWindow.h"

namespace ferrowin {

class TQtMessageWindow : public QObject, public TMessageWindow {
  Q_OBJECT
 public:
  TQtMessageWindow();
  // Any thread. A notification still queued when the window goes is released unseen.
  void Post(int code, std::unique_ptr<TEventRecord> record) override;
  void StartTimer(std::chrono::milliseconds period) override;
  void StopTimer() override;

 private:
  // Runs what is queued. A worker's burst of notifications costs one wake-up of the
  // user-interface thread, not one each.
  void Drain();
  void ScheduleDrain();

  std::mutex Lock;
  std::deque<std::pair<int, std::unique_ptr<TEventRecord>>> Queue;
  bool Scheduled = false;  // a Drain is queued in the event loop and has not started
  QTimer Timer;
};

// From now on every new component gets a TQtMessageWindow living on the calling thread, which
// must be the user-interface thread.
void InstallQtMessageWindows();

}  // namespace ferrowin
