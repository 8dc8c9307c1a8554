#pragma once
// A run started with /x: it ends the program when there is nothing left to wait for (the
// connection failed, the receive list selected nothing, every item has ended), with status 0
// only when every item of the run ended Done. Without a screen its prompts take their default
// answer, and the log says so.

#include <QObject>
#include <QPointer>
#include <functional>
#include <string>

class QTimer;

namespace ferrowin {

class THostView;
class TTransferItemsList;

class TBatchRun : public QObject {
  Q_OBJECT
 public:
  explicit TBatchRun(TTransferItemsList& list, QObject* parent = nullptr);
  ~TBatchRun() override;

  // A line for the message log; Ended(status, reason) when the run is over (reason empty
  // on success).
  std::function<void(const std::string& line)> OnLog;
  std::function<void(int status, const std::string& reason)> OnEnded;

  // The run waits for this view's connection (and its receive list, when it has one).
  void WatchConnection(THostView& view, bool receiving);
  // The host view's state codes, as the main window hears them.
  void HostState(const THostView& view, int code);
  // Looks again now (after notification 134, say) rather than at the next tick.
  void Check();
  // Nothing was asked that could be waited for: the run ends as failed.
  void NothingToDo(const std::string& reason) { End(1, reason); }
  [[nodiscard]] bool Ended() const { return Status >= 0; }
  [[nodiscard]] int ExitStatus() const { return Status < 0 ? 1 : Status; }

  // Whether prompts can be shown: false offscreen or without a screen.
  [[nodiscard]] static bool HasScreen();
  // Answers prompts by their default and logs each; undone when the run goes.
  void AnswerPromptsByDefault();

 private:
  void End(int status, const std::string& reason);
  [[nodiscard]] bool ViewQuiet();
  static constexpr int MaxStaleTicks = 8;

  TTransferItemsList& List;
  QPointer<THostView> View;
  QTimer* Tick = nullptr;
  bool Connecting = false;
  bool Receiving = false;
  bool LoggedIn = false;
  bool ConnectionEnded = false;
  bool Answering = false;
  int Status = -1;
  int StaleTicks = 0;
};

}  // namespace ferrowin
