// The host view's life and the events of its browsing connection.

#include "HostView.h"

#include <QEventLoop>
#include <QTimer>
#include <utility>

#include "AutomationHooks.h"
#include "FTPUtils.h"
#include "Format.h"
#include "LogOn.h"
#include "Options.h"
#include "Shell.h"

namespace ferrowin {

THostView::THostView(QWidget* owner, const TPreferences* prefs) : TCustomView(owner), Prefs(prefs) {
  DebugTrace("Creating Host View...");
  CreateControls();
  Component = std::make_unique<TFTPComponent>(this);
  SortBy = 1;
  InstallHandlers();
}

THostView::~THostView() {
  *Alive = false;
  EndWaits(false);
  if (TransferItems) std::exchange(TransferItems, nullptr)->Release();
  // No notification may reach a view that is going.
  Component.reset();
  DropCache();
  DebugTrace("Destroyed Host View");
}

TListControl* THostView::CreateListView(QWidget* parent) {
  auto* list = new TListControl(parent);
  list->Items()->SetColumns({{"Name", Qt::AlignLeft, 200},
                             {"Size", Qt::AlignRight, 80},
                             {"Type", Qt::AlignLeft, 140},
                             {"Modified", Qt::AlignLeft, 130}});
  list->Items()->SetImages(&TShellImages::Instance());
  list->SetAutoDrag(true);
  list->setEnabled(false);
  list->OnColumnClick = [this](int column) { ColumnClick(column); };
  list->OnEditing = [this](int) { return Connected(); };
  list->OnEdited = [this](int item, const QString& text) { return RenameByEditing(item, text.toStdString()); };
  ConnectListHandlers(list);
  return list;
}

void THostView::TransferQueueGone(TTransferQueue* queue) {
  if (TransferItems == queue) TransferItems = nullptr;
}

bool THostView::Connected() const { return Component && Component->Connected(); }

void THostView::InstallHandlers() {
  TFTPComponent& c = *Component;
  c.OnAbort = [this](TFTPComponent&) { FTPAbort(); };
  c.OnCantLogIn = [this](TFTPComponent&) { FTPCantLogIn(); };
  c.OnCommandCompleted = [this](TFTPComponent&, TCommandKind command, bool success, bool aborted) {
    FTPCommandCompleted(command, success, aborted);
  };
  c.OnConnect = [this](TFTPComponent&) { FTPConnect(); };
  c.OnDisconnect = [this](TFTPComponent&) { FTPDisconnect(); };
  c.OnError = [this](TFTPComponent&, int code, const std::string& message) { FTPError(code, message); };
  c.OnFolderReply = [this](TFTPComponent&, const std::string& folder, TFolderReplyType type, bool result) {
    FTPFolderReply(folder, type, result);
  };
  c.OnLog = [this](TFTPComponent&, const std::string& message, TColor color) { FTPLog(message, color); };
  c.OnLoggedIn = [this](TFTPComponent&) { FTPLoggedIn(); };
  c.OnProcessList = [this](TFTPComponent&, const std::string& folder, std::unique_ptr<TListingEntries>& list) {
    FTPProcessList(folder, list);
  };
  c.OnProgress = [this](TFTPComponent&, TProgressKind kind, std::int64_t bytes, bool isFile) {
    FTPProgress(kind, bytes, isFile);
  };
  c.OnRenameSuccessful = [this](TFTPComponent&, const std::string& oldPath, const std::string& newPath) {
    FTPRenameSuccessful(oldPath, newPath);
  };
}

void THostView::ConnectHost(const std::string& host, int port, const std::string& files, const std::string& folder,
                            const std::string& account, const std::string& password, const std::string& user) {
  SetSeperator('/');
  FolderText = folder.empty() || folder.back() == '/' ? folder : folder + '/';
  InvalidateTotal();
  ReceiveMasks.reset();
  PlainList = false;
  const QString receive = QString::fromStdString(files).trimmed().toLower();
  if (!receive.isEmpty()) ReceiveMasks = std::make_unique<QStringList>(receive.split(';'));
  if (Component->Connected()) Component->Logout();
  Component->SetHost(host);
  Component->Port = port;
  Component->User = user;
  Component->Password = password;
  Component->Account = account;
  Component->SetServerType(0);
  LogOn(*Component, Prefs, UseFirewall);
  RaiseState(hsBusy);
}

void THostView::FTPAbort() {
  RaiseState(hsAborted);
  EndWaits(false);
}

// A folder change or listing that will not finish: the folder shown stays the one whose
// entries are shown.
void THostView::EndBusy() {
  Changing = false;
  ListingFolder.clear();
  if (!Connected()) return;
  auto it = FolderCache.find(FolderText);
  if (it != FolderCache.end() && it->second) ChangeFolder(FolderText);
  else ShowEmptyFolder();
}

void THostView::ShowEmptyFolder() {
  ClearItems();
  RaiseState(hsReady);
  InvalidateTotal();
  UpdateStatus();
  RebuildTree();
}

void THostView::FTPCantLogIn() {
  EndWaits(false);
  RaiseState(hsCantLogIn);
  RaiseAutomation(&TAutomationHooks::OnCantLogin);
}

void THostView::FTPCommandCompleted(TCommandKind command, bool success, bool aborted) {
  // An abort empties the queue: whatever command it ended, the change or listing is over.
  if (aborted) {
    if (Changing || !ListingFolder.empty()) EndBusy();
    return;
  }
  switch (command) {
    case TCommandKind::List:
      if (!success && !ListingFolder.empty()) ListFailed();
      return;
    case TCommandKind::SetCurrentFolder:
    case TCommandKind::GetCurrentFolder: {
      // A folder command that ended without its reply (a time-out, a broken connection).
      const bool replied = FolderReplySeen;
      FolderReplySeen = false;
      if (!success && !replied && Changing) {
        EndWaitsFor(ChangingTo, false);
        EndBusy();
      }
      return;
    }
    default:
      return;
  }
}

void THostView::FTPConnect() {
  RaiseState(hsConnected);
  RaiseAutomation(&TAutomationHooks::OnConnected);
}

void THostView::FTPDisconnect() {
  ListView()->setEnabled(false);
  Log.clear();
  DropCache();
  ClearItems();
  for (int panel = 1; panel <= 3; ++panel) StatusBar()->SetPanelText(panel, {});
  if (Tree) Tree->Clear();
  Changing = false;
  ListingFolder.clear();
  ServerFolder.clear();
  EndWaits(false);
  RaiseState(hsDisconnected);
  RaiseAutomation(&TAutomationHooks::OnDisconnected);
}

void THostView::FTPError(int, const std::string& message) {
  RaiseState(hsReady);
  RaiseState(hsError);
  AddLogLine(message, ErrorColor);
  EndWaits(false);
}

namespace {
// The code of a reply line ("550 No such file" gives 550), or 0.
int ReplyCode(const std::string& line) {
  if (line.size() < 3 || !std::isdigit(static_cast<unsigned char>(line[0])) ||
      !std::isdigit(static_cast<unsigned char>(line[1])) || !std::isdigit(static_cast<unsigned char>(line[2])))
    return 0;
  return std::stoi(line.substr(0, 3));
}
}  // namespace

void THostView::FTPLog(const std::string& message, TColor color) {
  if (color == ReplyColor || color == ErrorColor) {
    if (const int code = ReplyCode(message)) LastReplyCode = code;
  }
  AddLogLine(message, color);
}

void THostView::AddLogLine(const std::string& message, TColor color) {
  Log.push_back({message, color});
  while (Log.size() > MaxLogEntries) Log.pop_front();
  if (OnLog) OnLog(*this, message, color);
  RaiseAutomation(&TAutomationHooks::OnLog, message);
}

void THostView::FTPLoggedIn() {
  RaiseState(hsLoggedIn);
  RaiseAutomation(&TAutomationHooks::OnLoggedIn);
  ClearItems();
  ListView()->setEnabled(true);
  Changing = true;
  ChangingTo = FolderText;
  ServerFolder.clear();
  if (!FolderText.empty()) Component->SetCurrentFolder(FolderText);
  else Component->GetCurrentFolder();
}

void THostView::FTPProcessList(const std::string& folder, std::unique_ptr<TListingEntries>& list) {
  auto listing = std::make_shared<TListing>();
  if (list) {
    listing->reserve(list->size());
    for (TListingEntry& entry : *list) listing->push_back(std::make_shared<TListingEntry>(std::move(entry)));
    list.reset();
  }
  FolderCache[folder] = std::move(listing);
  // Every wait whose folder is now listed ends, not only the innermost.
  for (TWait* wait : std::vector<TWait*>(Waits))
    if (HasListing(wait->Path)) EndWaitsFor(wait->Path, true);
  const bool asked = SameText(folder, ListingFolder);
  if (asked) ListingFolder.clear();
  if (asked || folder == GetFolder()) ChangeFolder(folder);
}


bool THostView::ListDragOver(TListControl* source) { return TCustomView::ListDragOver(source) && Connected(); }

void THostView::EndWaitsFor(const std::string& path, bool result) {
  for (TWait* wait : Waits) {
    if (wait->Done || !SameText(wait->Path, path)) continue;
    wait->Done = true;
    wait->Result = result;
    wait->Loop.quit();  // an outer loop returns as soon as the inner ones have
  }
}

void THostView::EndWaits(bool result) {
  for (TWait* wait : std::vector<TWait*>(Waits)) EndWaitsFor(wait->Path, result);
}

bool THostView::ChangeFolderWait(const std::string& path) {
  const std::string target = WithSeperator(path);
  // A change into this very folder already under way (a refresh) is waited for, not refused.
  const bool underway = Changing && SameText(ChangingTo, target);
  if (!underway && !ChangeFolder(target)) return false;
  if (HasListing(target) && SameText(GetFolder(), target)) return true;
  TWait wait;
  wait.Path = target;
  Waits.push_back(&wait);
  std::shared_ptr<bool> alive = Alive;
  wait.Loop.exec();
  if (!*alive) return false;  // the view went while we waited
  std::erase(Waits, &wait);
  return wait.Result;
}

}  // namespace ferrowin
