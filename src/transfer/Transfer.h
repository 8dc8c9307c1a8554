#pragma once
// Transfer items and their queues. Each connection tab has a queue, plus the General queue for
// HTTP downloads and automation uploads; all queues sit in the one TTransferItemsList. A queue
// runs one item at a time over a pooled connection of its own, or over the tab's browsing
// connection when "Single Connections Only" is on, and reports everything through events.

#include <QPointer>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FTPComp.h"
#include "TransferQueue.h"

namespace ferrowin {

class THostView;
class TTransferItems;
class TTransferItemsList;
struct TPreferences;

enum TTransferState : std::uint8_t { isPending = 0, isBusy = 1, isDone = 2, isCancelled = 3, isError = 4 };
inline constexpr int TransferStateCount = 5;

// The engine's millisecond tick (wraps as the program's tick arithmetic expects).
std::uint32_t TickCount();
// Gives a local file its modification time without opening it.
bool SetLocalFileDate(const std::string& path, TDateTime date);

class TTransferItem : public TTransferEntry {
 public:
  explicit TTransferItem(const TTransferEntry& entry = {});
  ~TTransferItem();
  TTransferItem(const TTransferItem&) = delete;
  TTransferItem& operator=(const TTransferItem&) = delete;

  TTransferItems* Owner = nullptr;
  void* ListItem = nullptr;  // the transfer manager's row
  TTransferState State = isPending;
  TFTPComponent* Connection = nullptr;
  std::uint32_t StartTick = 0;
  std::int64_t BytesDone = 0;

  void SetState(TTransferState state);
  void Process(TFTPComponent& connection);
  // Aborts the running command; the item then ends as cancelled. False when not busy.
  bool Skip();
  void SetURL(const std::string& url);
  [[nodiscard]] std::uint32_t Elapsed() const { return TickCount() - StartTick; }
  [[nodiscard]] int PercentDone() const;
  [[nodiscard]] int Index() const;
  [[nodiscard]] std::string LocalPath() const;  // the local side of the transfer

 private:
  void InstallHandlers(TFTPComponent& c);
  void ftpCommandCompleted(TCommandKind command, bool success, bool aborted);
  void ftpConnect(TFTPComponent& c);
  void ftpDisconnect(TFTPComponent& c);
  void ftpError(int code, const std::string& message);
  void ftpLog(TFTPComponent& c, const std::string& message, TColor color);
  void ftpLoggedIn(TFTPComponent& c);
  void ftpCantLogIn();
  void ftpProgress(TFTPComponent& c, TProgressKind kind, std::int64_t bytes, bool isFile);
  void ftpUpdateFileSize(const std::string& path, std::int64_t size);
  void Start(TFTPComponent& c);
  void LogOn(TFTPComponent& c);
  [[nodiscard]] bool CreateLocalFolder() const;
  void PostCompletion(TCommandKind command, bool success);
  void Finish(TCommandKind command, bool success, bool aborted);
  // The browsing connection's own handlers back; announce: tell the window its commands
  // changed. False when the view is gone.
  bool HandBack(TFTPComponent& c, bool announce = true);
  [[nodiscard]] TTransferType TypeOf(const std::string& name) const;

  // The browsing connection's own handlers, called after the item's.
  TEvent<TFTPComponent&>::TFunction SavedConnect;
  TEvent<TFTPComponent&>::TFunction SavedDisconnect;
  TEvent<TFTPComponent&, const std::string&, TColor>::TFunction SavedLog;
  TEvent<TFTPComponent&, TProgressKind, std::int64_t, bool>::TFunction SavedProgress;
  std::unique_ptr<TFTPComponent> OwnConnection;  // an HTTP item's, freed when it ends
  bool Ending = false;                           // Finish is running
  friend class TTransferItems;
};

struct TQueueLogLine {
  std::string Message;
  TColor Color;
};

class TTransferItems : public TTransferQueue {
 public:
  using TItemEvent = std::function<void(TTransferItems& queue, TTransferItem& item)>;

  TTransferItems(TTransferItemsList& list, std::string caption, THostView* hostView);
  ~TTransferItems() override;

  TTransferItemsList& List;
  std::vector<std::unique_ptr<TTransferItem>> Items;
  std::vector<std::unique_ptr<TFTPComponent>> Connections;  // the pool
  std::vector<TQueueLogLine> Log;
  std::array<int, TransferStateCount> StateCount{};
  std::uint32_t StartTick = 0;
  std::int64_t BytesDone = 0;
  std::int64_t BytesLeft = 0;
  int DoneCount = 0;
  QPointer<THostView> HostView;  // set when the queue may borrow its browsing connection
  QPointer<THostView> View;      // the tab's view, told when the queue goes first

  std::function<void(TTransferItems& queue, TFTPComponent& connection)> OnConnect;
  std::function<void(TTransferItems& queue, TFTPComponent& connection)> OnDisconnect;
  std::function<void(TTransferItems& queue, int code, const std::string& message)> OnError;
  std::function<void(TTransferItems& queue, TFTPComponent& connection, const std::string& message, TColor color)>
      OnLog;
  TItemEvent OnItemAdded;
  TItemEvent OnItemStateChange;
  TItemEvent OnItemStarted;
  TItemEvent OnItemCompleted;
  TItemEvent OnItemProgress;
  std::function<void(TTransferItems& queue)> OnCaptionChange;

  [[nodiscard]] const std::string& Caption() const { return CaptionText; }
  void SetCaption(const std::string& caption);
  // Takes the item (clearing the caller's pointer) and returns its index, or -1 for a
  // duplicate, which stays the caller's.
  int Add(std::unique_ptr<TTransferItem>& item);
  int ProcessNext() override;
  [[nodiscard]] int Count() const { return static_cast<int>(Items.size()); }
  [[nodiscard]] TTransferItem* Item(int index) const;
  [[nodiscard]] TTransferItem* FirstInState(TTransferState state) const;
  [[nodiscard]] std::uint32_t Elapsed() const { return TickCount() - StartTick; }
  [[nodiscard]] int PercentDone() const;
  void Move(int from, int to);
  void DisconnectAll();

  int AddEntry(const TTransferEntry& entry) override;
  void CancelPending() override;
  bool SkipBusy() override;
  void Release() override;

  // Called by the items.
  // An item has ended (its final state is set after): counts it and tells whoever follows.
  void ItemCompleted(TTransferItem& item);
  void AddLog(TFTPComponent& connection, const std::string& message, TColor color);
  [[nodiscard]] bool InPool(const TFTPComponent* connection) const;
  // Frees a connection once the notification that got us here has returned.
  static void ReleaseLater(std::unique_ptr<TFTPComponent> connection);
  [[nodiscard]] const std::shared_ptr<bool>& AliveToken() const { return Alive; }

 private:
  [[nodiscard]] bool IsDuplicate(const TTransferItem& item) const;
  [[nodiscard]] TFTPComponent* GetConnection(const TTransferItem& item);
  [[nodiscard]] bool Borrowing() const;
  TFTPComponent* NewPooled(const TTransferItem& item);

  std::string CaptionText;
  std::shared_ptr<bool> Alive = std::make_shared<bool>(true);
};

// Every queue of the process. The main window makes one at start-up and installs it as the
// views' transfer services; tests make their own.
class TTransferItemsList : public TTransferServices {
 public:
  explicit TTransferItemsList(const TPreferences* prefs = nullptr);
  ~TTransferItemsList() override;
  TTransferItemsList(const TTransferItemsList&) = delete;
  TTransferItemsList& operator=(const TTransferItemsList&) = delete;

  static TTransferItemsList* Instance();  // the installed list, or null

  const TPreferences* Prefs;
  bool ShowTransferInfo = true;  // the main window's "Show Transfer Info" check

  // Hooks for the main window and the progress and manager windows.
  std::function<void(TTransferItems& queue)> OnQueueCreated;
  std::function<void(TTransferItems& queue)> OnQueueRemoved;
  std::function<void(TTransferItems& queue)> OnQueueActive;  // show it in the progress window
  std::function<void(const std::string& text)> OnStatusText;  // panel 1 of the main window
  std::function<void()> OnCommandsChanged;                    // a borrowed connection is back
  std::function<void()> OnIdle;                                // the application title again
  // Every item's state change, whichever queue the progress window follows (the manager's
  // rows keep up even after the window has let its queue go).
  std::function<void(TTransferItems& queue, TTransferItem& item)> OnItemState;

  TTransferItems& CreateQueue(const std::string& caption, THostView* hostView = nullptr);
  void RemoveQueue(TTransferItems& queue);
  [[nodiscard]] int Count() const { return static_cast<int>(Queues.size()); }
  [[nodiscard]] TTransferItems& Queue(int index) const { return *Queues[static_cast<std::size_t>(index)]; }
  [[nodiscard]] int StateCount(TTransferState state) const;
  TTransferItems& General();
  void DisconnectAll();

  TTransferQueue* CreateQueue(THostView& view, const std::string& caption) override;
  std::int64_t DecideExisting(TRequestMemory& memory, const TExistingEntry& entry) override;
  bool ConfirmDelete(int count, const std::string& firstName, bool isFolder) override;

 private:
  std::vector<std::unique_ptr<TTransferItems>> Queues;
  TTransferItems* GeneralQueue = nullptr;
};

}  // namespace ferrowin
