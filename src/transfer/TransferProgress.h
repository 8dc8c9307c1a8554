#pragma once
// TfrmTransfer: the one progress window of every transfer. One tab per queue with work; it
// follows the shown queue's events (and so also keeps the manager's rows up to date), shows
// the current item and the batch, and offers Skip and Cancel. Created hidden, then hidden
// rather than destroyed.

#include <QElapsedTimer>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "FTPCompSettings.h"
#include "Transfer.h"

class QLabel;
class QMovie;
class QProgressBar;
class QPushButton;
class QTabBar;
class QPlainTextEdit;
class QTimer;
class QToolButton;

namespace ferrowin {

class TTransferItem;
class TTransferItems;
class TTransferItemsList;
class TfrmTransferMngr;
struct TPreferences;

// The colour that means "no colour": the line takes the log's own.
inline constexpr TColor NoColor = 0x1FFFFFFF;

class TfrmTransfer : public QWidget {
  Q_OBJECT
 public:
  static constexpr int LogDesignHeight = 150;
  static constexpr int MinWidth = 385;
  static constexpr int MinHeightUnfolded = 428;

  TfrmTransfer(TTransferItemsList& list, TPreferences& prefs);
  ~TfrmTransfer() override;

  // What the window tells the main window.
  std::function<void(const std::string& text)> OnStatusText;  // panel 1 of the status bar
  std::function<void(const QString& title)> OnApplicationTitle;
  // The application's title when no transfer is under way.
  [[nodiscard]] static QString RestingTitle() { return QStringLiteral("Ferrowin"); }
  std::function<void(bool running)> OnActivity;  // the main window's animation
  std::function<void()> OnFileEnded;              // the end-of-file sound
  std::function<void()> OnAllDone;                // notification 134
  std::function<void(const std::string& message)> OnThreadError;  // the message log, in red
  std::function<void(bool connected)> OnTransferConnection;       // "Disconnect Transfer Connection"
  std::function<void()> OnItemShown;  // enables the main window's "View Transfers"
  std::function<void(const std::string& path)> OnFileTransferred;  // the automation client
  TfrmTransferMngr* Manager = nullptr;

  QLabel* aniCopy = nullptr;
  QTabBar* tabQueues = nullptr;
  QLabel* lblFileName = nullptr;
  QLabel* lblFileBytes = nullptr;
  QLabel* lblFileElapsed = nullptr;
  QLabel* lblFileRemaining = nullptr;
  QLabel* lblFileCount = nullptr;
  QLabel* lblTotalBytes = nullptr;
  QLabel* lblTotalElapsed = nullptr;
  QLabel* lblTotalRemaining = nullptr;
  QLabel* lblSpeed = nullptr;
  QProgressBar* pbFile = nullptr;
  QProgressBar* pbTotal = nullptr;
  QPushButton* btnSkip = nullptr;
  QPushButton* btnCancel = nullptr;
  QPushButton* btnDetails = nullptr;
  QToolButton* btnPin = nullptr;
  QPlainTextEdit* memoLog = nullptr;
  QTimer* tmrRefresh = nullptr;
  // Progress refreshes the window at most this often: a bar's new value repaints at once, and
  // small files would otherwise spend more time painting than transferring.
  static constexpr int ProgressRefreshMs = 100;

  // A queue has work: its tab exists and is selected; the window shows when asked to.
  void ShowQueue(TTransferItems& queue, bool show);
  void QueueGone(TTransferItems& queue);
  void TabChange();
  void Refresh();
  void btnSkipClick();
  void btnCancelClick();
  void btnDetailsClick();
  void ShowPin(bool shown);  // "/d"
  [[nodiscard]] TTransferItems* ShownQueue() const { return Shown; }
  [[nodiscard]] TTransferItem* CurrentItem() const { return Current; }
  [[nodiscard]] bool Folded() const { return IsFolded; }
  [[nodiscard]] const QString& ApplicationTitle() const { return AppTitle; }
  [[nodiscard]] int TabCount() const;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateControls();
  void Attach(TTransferItems& queue);
  void Detach();
  void ResetDisplay(bool finished);
  void AllDone();
  void EnableButtons();
  void AddLog(const std::string& line, TColor color);
  void ClearLog();
  void ShowLogLines();
  void ProgressMade();
  void SetApplicationTitle(const QString& title);
  void UpdateAnimation();
  void Animate(bool running);  // the copy clip
  [[nodiscard]] int TabOf(const TTransferItems& queue) const;
  void ItemAdded(TTransferItems& queue, TTransferItem& item);
  void ItemStarted(TTransferItems& queue, TTransferItem& item);
  void ItemCompleted(TTransferItems& queue, TTransferItem& item);
  void QueueError(const std::string& message);
  void Fold(bool fold);

  TTransferItemsList& List;
  TPreferences& Prefs;
  QMovie* CopyClip = nullptr;
  TTransferItems* Shown = nullptr;
  TTransferItem* Current = nullptr;
  QString AppTitle = QStringLiteral("Ferrowin");
  QElapsedTimer SinceRefresh;
  QTimer* tmrProgress = nullptr;  // a refresh held back by ProgressRefreshMs
  int LogHeight = LogDesignHeight;
  bool IsFolded = false;
  bool Skipping = false;
  std::vector<TQueueLogLine> Unshown;  // log lines gathered while folded  // Skip or Cancel pressed for the current item
};

}  // namespace ferrowin
