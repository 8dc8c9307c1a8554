#pragma once
// The remote side of a connection tab: one browsing connection, the folder it shows, a cache
// of every listing received while connected, the log of the connection and the folder tree.

#include <QComboBox>
#include <QEventLoop>
#include <QHash>
#include <QPointer>
#include <deque>
#include <map>
#include <set>
#include <memory>
#include <string>
#include <vector>

#include "AllViews.h"
#include "FTPComp.h"
#include "TransferQueue.h"

class QStandardItem;
class QStandardItemModel;
class QTimer;
class QTreeView;

namespace ferrowin {

struct TPreferences;

// Text order without regard to case, as the cache and listing look-ups compare.
struct TCaseLess {
  bool operator()(const std::string& a, const std::string& b) const;
};
[[nodiscard]] bool SameText(const std::string& a, const std::string& b);

// Whether a name (any case) matches one of the lower-cased masks: "*" and "?" without
// backtracking, so "*.txt" stops at the first dot of "a.b.txt". No masks, or "*.*", match all.
[[nodiscard]] bool MatchesMask(const QString& name, const QStringList& masks);

// The folder tree drop-down: a combo box whose popup is a tree of folders.
class TTreeCombo : public QComboBox {
  Q_OBJECT
 public:
  static constexpr int PathRole = Qt::UserRole + 1;
  static constexpr int CutRole = Qt::UserRole + 2;

  explicit TTreeCombo(QWidget* parent = nullptr);
  [[nodiscard]] QStandardItemModel* Nodes() const { return NodeModel; }
  [[nodiscard]] QTreeView* Tree() const { return TreeView; }
  [[nodiscard]] QStandardItem* SelectedNode() const;
  void SetSelectedNode(QStandardItem* node);  // null clears; raises no change
  void SetCut(QStandardItem* node, bool cut);
  void Clear();
  // Chooses a node as a click in the popup does, and raises OnChange.
  void ChooseNode(QStandardItem* node);
  void showPopup() override;
  // The box shows the whole path of the folder chosen; the popup shows the tree of names.
  [[nodiscard]] QString ShownText() const;

  std::function<void(TTreeCombo& sender)> OnChange;
  // Where the dropped-down tree goes across the screen (left and width, global); empty:
  // under the box, as wide as the box.
  std::function<QRect()> PopupArea;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  QStandardItemModel* NodeModel;
  QTreeView* TreeView;
  QStandardItem* Selection = nullptr;
  bool PressedInPopup = false;  // the release of the click that opened the popup picks nothing
};

struct THostLogLine {
  std::string Message;
  TColor Color;
};

// Host view state codes for OnUpdateState.
enum THostState : int {
  hsStatus = 0,
  hsConnected = 36,
  hsError = 66,
  hsBusy = 128,
  hsReady = 129,
  hsLoggedIn = 130,
  hsDisconnected = 131,
  hsCantLogIn = 132,
  hsReasonDone = 133,
  hsAborted = 136,
};

class THostView : public TCustomView {
  Q_OBJECT
 public:
  using TRecord = std::shared_ptr<TListingEntry>;
  using TListing = std::vector<TRecord>;

  static constexpr std::size_t MaxLogEntries = 800;
  static constexpr int MessageInterval = 200;  // entries between message runs while filling

  // prefs: the main window's preference set (ListHidden, the firewall); null uses defaults.
  THostView(QWidget* owner, const TPreferences* prefs = nullptr);
  ~THostView() override;

  bool Animating = false;
  bool BuildingList = false;
  bool Transferring = false;  // the queue has borrowed the connection
  bool Gathering = false;     // a transfer request is collecting its entries
  bool UseFirewall = false;

  std::function<void(THostView& sender, const std::string& message, TColor color)> OnLog;
  // A download for a reason has fetched every file: their local paths, in order.
  std::function<void(THostView& sender, const std::vector<std::string>& fileNames, int reason)> OnTransferred;

  // Recursive collections stop at this depth and at paths this long (a link cycle or a
  // hostile server cannot make them run on).
  static constexpr int MaxDepth = 32;
  static constexpr std::size_t MaxPathLength = 1024;
  int TransferReason = 0;  // 0 none, 1 upload at once, 2 download now, 3 open, 4 view, 5 edit

  [[nodiscard]] bool Connected() const;
  [[nodiscard]] const std::deque<THostLogLine>& LogEntries() const { return Log; }
  [[nodiscard]] TFTPComponent& FTP() { return *Component; }
  [[nodiscard]] TTreeCombo* TreeCombo() const { return Tree; }
  void SetTreeCombo(TTreeCombo* tree);
  [[nodiscard]] int SortColumn() const { return SortBy; }
  [[nodiscard]] bool ChangingFolder() const { return Changing; }
  // A receive list from the command line waits for its listing, or its selection to start.
  [[nodiscard]] bool ReceivePending() const { return ReceiveMasks || !SelectTimer.isNull(); }
  [[nodiscard]] const std::string& PathPrefix() const { return Prefix; }
  [[nodiscard]] const std::string& PathSuffix() const { return Suffix; }
  // The server's reply that refused the last login ("530 Login incorrect."), empty if none.
  [[nodiscard]] const std::string& LoginRefusal() const { return Component->LoginReply(); }

  // The cache, for the main window's compare and for tests.
  [[nodiscard]] bool IsCached(const std::string& path) const;
  [[nodiscard]] const TListing* CachedListing(const std::string& path) const;  // null: not listed
  [[nodiscard]] std::size_t CachedFolderCount() const { return FolderCache.size(); }
  [[nodiscard]] std::vector<std::string> KnownFolders() const;
  [[nodiscard]] const TListingEntry* ItemRecord(TItem item) const;

  void ConnectHost(const std::string& host, int port, const std::string& files, const std::string& folder,
                   const std::string& account, const std::string& password, const std::string& user);
  void Disconnect();
  void Stop();
  // The view's own handlers on its connection, also when a transfer hands it back.
  void InstallHandlers();
  [[nodiscard]] TTransferQueue* TransferQueue() const { return TransferItems; }
  // A transfer entry with this connection's server and login filled in.
  [[nodiscard]] TTransferEntry ConnectionEntry() const;
  void TransferQueueGone(TTransferQueue* queue);

  [[nodiscard]] std::string ServerPath(const std::string& path) const;
  [[nodiscard]] std::string ItemURL(TItem item) const;
  void ColumnClick(int column);  // 0-based, as the list's header reports it
  void SortItems();
  void RebuildTree();
  void TreeChange(TTreeCombo& tree);

  std::string GetMask() const override;
  void SetMask(const std::string& mask) override;
  bool TransferFrom(TCustomView& source) override;
  bool OpenItem(TItem item) override;
  std::string GetItemName(TItem item) const override;
  std::string GetItemPath(TItem item) const override;
  bool ItemIsFolder(TItem item) const override;
  bool ItemIsLink(TItem item) const override;
  std::int64_t GetItemSize(TItem item) const override;
  TDateTime GetItemDate(TItem item) const override;
  bool ChangeFolder(const std::string& path) override;
  bool ChangeFolderWait(const std::string& path) override;
  bool FolderUp() override;
  bool NewFolder(const std::string& name, bool startRename) override;
  bool DeleteSelected(bool confirm) override;
  bool ShowProperties() override;
  void Refresh() override;
  void EntryArrived(TTransferItem* item, const std::string& folder, TDateTime date, std::int64_t size,
                    bool isFolder, const std::string& name) override;
  bool RenameEntry(const std::string& oldName, const std::string& newName) override;
  bool ListDragOver(TListControl* source) override;
  bool TransferTo(TCustomView* destination) override;
  bool DownloadFor(TCustomView& local, int reason);
  bool UploadSelected(TCustomView& local);
  // The list's edited handler: false keeps the caption until the listing changes.
  bool RenameByEditing(TItem item, const std::string& text);
  [[nodiscard]] const std::vector<std::string>& ReadyFiles() const { return Ready; }
  // The private folder (0700) that downloads for a reason go to, with its separator.
  static std::string ReasonFolder();

 protected:
  TListControl* CreateListView(QWidget* parent) override;

 private:
  // A ChangeFolderWait in progress. Waits nest; each ends on its own folder.
  struct TWait {
    std::string Path;
    QEventLoop Loop;
    bool Done = false;
    bool Result = false;
  };

  // Events of the browsing connection.
  void FTPAbort();
  void FTPCantLogIn();
  void FTPCommandCompleted(TCommandKind command, bool success, bool aborted);
  void FTPConnect();
  void FTPDisconnect();
  void FTPError(int code, const std::string& message);
  void FTPFolderReply(const std::string& folder, TFolderReplyType type, bool result);
  void FTPLog(const std::string& message, TColor color);
  void FTPLoggedIn();
  void FTPProcessList(const std::string& folder, std::unique_ptr<TListingEntries>& list);
  void FTPProgress(TProgressKind kind, std::int64_t bytes, bool isFile);
  void FTPRenameSuccessful(const std::string& oldPath, const std::string& newPath);

  void AddLogLine(const std::string& message, TColor color);
  void ReportCurrentFolder(const std::string& folder);
  void ShowCachedListing(const std::string& path, std::shared_ptr<TListing> listing);
  void SelectReceivedFiles();
  void StartReceiving();
  void DropFromCache(std::string folder);
  void DropCache();
  void ClearItems();
  [[nodiscard]] std::string WithSeperator(std::string path) const;
  [[nodiscard]] bool HasListing(const std::string& path) const;
  [[nodiscard]] bool TabVisible() const;
  void AddTreePath(const std::string& path, bool select);
  [[nodiscard]] TListItem BuildItem(TListingEntry& record);
  [[nodiscard]] QString DateText(TDateTime date);
  void EndWaits(bool result);
  void EndWaitsFor(const std::string& path, bool result);
  void ListFolder(const std::string& path);
  void ListFailed();
  void EndBusy();
  void ShowEmptyFolder();

  // File operations.
  struct TPendingFile {
    std::string Remote;
    std::string Local;
    TTransferType Type;
  };
  struct TSelected {
    std::string Name;
    std::string Path;
    std::int64_t Size = 0;
    TDateTime Date = 0;
    bool Folder = false;
    bool Link = false;
  };
  [[nodiscard]] static std::vector<TSelected> SelectionOf(const TCustomView& view);
  bool EnsureQueue();
  [[nodiscard]] std::string TabCaption() const;
  std::int64_t DecideEntry(TCustomView& dest, bool sameFolder, const std::string& name, std::int64_t size,
                           TDateTime date);
  void UploadSelection(TCustomView& source, const std::string& remote, int depth);
  void DownloadSelection(TCustomView& dest, const std::string& local, int depth);
  bool EnterForWalk(const std::string& path, int depth);
  bool Refused(const std::string& name, const std::string& folder);
  void StartNextPending();
  bool DeleteTree(int depth);

  const TPreferences* Prefs;
  std::map<std::string, std::shared_ptr<TListing>, TCaseLess> FolderCache;  // null: known, not listed
  std::map<std::string, QStandardItem*, TCaseLess> Known;  // object: the folder's tree node
  TListing Shown;  // keeps the records of the shown items alive
  bool Changing = false;
  QPointer<QTimer> SelectTimer;
  int SortBy = 1;
  std::unique_ptr<QStringList> ReceiveMasks;
  std::unique_ptr<TFTPComponent> Component;
  std::deque<THostLogLine> Log;
  QStringList FilterMasks;
  QPointer<TTreeCombo> Tree;
  std::string Prefix;
  std::string Suffix;
  std::vector<TWait*> Waits;
  std::string ChangingTo;     // the folder a change under way asked for
  std::string ServerFolder;   // the folder the server last reported being in
  std::string ListingFolder;  // the folder of the listing under way, empty when none
  bool FolderReplySeen = false;  // the running folder command has had its reply
  bool PlainList = false;    // the server refused the listing option: plain LIST from now on
  int LastReplyCode = 0;
  std::shared_ptr<bool> Alive = std::make_shared<bool>(true);
  TTransferQueue* TransferItems = nullptr;  // the tab's queue; the queue list owns it
  TRequestMemory Request;
  bool StopRequested = false;
  std::set<std::string, TCaseLess> Visited;  // folders a walk has entered
  std::deque<TPendingFile> PendingFiles;
  std::vector<std::string> Ready;
  std::map<long long, QString> DateTexts;
  QHash<QStandardItem*, QHash<QString, QStandardItem*>> TreeChildren;  // for RebuildTree
};

}  // namespace ferrowin
