#pragma once
// The hidden window of a component in the user interface: workers post notifications from
// their threads, and they run on the user-interface thread through the Qt event loop.

#include <QObject>
#include <QTimer>

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
  void Deliver(int code, std::unique_ptr<TEventRecord> record);
  QTimer Timer;
};

// From now on every new component gets a TQtMessageWindow living on the calling thread, which
// must be the user-interface thread.
void InstallQtMessageWindows();

}  // namespace ferrowin
