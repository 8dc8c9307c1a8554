// A queue of transfer items with its connection pool, and the list of every queue.

#include <QCoreApplication>
#include <QMetaObject>
#include <algorithm>
#include <cmath>

#include "AutomationHooks.h"
#include "FTPUtils.h"
#include "Format.h"
#include "HostView.h"
#include "Options.h"
#include "Prompts.h"
#include "Transfer.h"

namespace ferrowin {

TTransferItems::TTransferItems(TTransferItemsList& list, std::string caption, THostView* hostView)
    : List(list), HostView(hostView), CaptionText(std::move(caption)) {}

TTransferItems::~TTransferItems() {
  *Alive = false;
  for (auto& item : Items)
    if (InPool(item->Connection)) item->Connection = nullptr;
  Items.clear();  // a busy item hands a borrowed connection back
  // Going now, not later: at exit no event loop would run a later release.
  for (auto& c : Connections) c->Logout();
  Connections.clear();  // a busy item hands a borrowed connection back
  if (View) View->TransferQueueGone(this);
  if (List.OnIdle) List.OnIdle();
}

void TTransferItems::SetCaption(const std::string& caption) {
  if (caption == CaptionText) return;
  CaptionText = caption;
  if (OnCaptionChange) OnCaptionChange(*this);
}

bool TTransferItems::IsDuplicate(const TTransferItem& item) const {
  auto same = [&item](const TTransferItem& o) {
    return (o.State == isPending || o.State == isBusy) && o.SourceName == item.SourceName && o.Size == item.Size &&
           o.FileDate == item.FileDate && o.SourceFolder == item.SourceFolder && o.DestFolder == item.DestFolder &&
           o.Host == item.Host && o.Port == item.Port && o.UserID == item.UserID && o.Password == item.Password &&
           o.Account == item.Account && o.RestartAt == item.RestartAt && o.IsUpload == item.IsUpload &&
           o.IsFolder == item.IsFolder;
  };
  return std::any_of(Items.begin(), Items.end(), [&](const auto& o) { return same(*o); });
}

int TTransferItems::Add(std::unique_ptr<TTransferItem>& item) {
  DebugTrace(Format("Adding Transfer Item. Name = \"%s\"", item->SourceName));
  if (item->DestName.empty()) item->DestName = item->SourceName;
  if (IsDuplicate(*item)) {
    ShowMessage(nullptr, QString::fromStdString(Format("\"%s\" is already in the transfer queue", item->SourceName)));
    return -1;
  }
  // A batch runs from idle to idle; items gathered before the first starts belong to it.
  if (StateCount[isBusy] == 0 && StateCount[isPending] == 0) {
    StartTick = TickCount();
    BytesDone = 0;
    BytesLeft = 0;
    DoneCount = 0;
  }
  item->Owner = this;
  Items.push_back(std::move(item));
  TTransferItem& added = *Items.back();
  const int index = Count() - 1;
  ++StateCount[added.State];
  BytesDone += added.RestartAt;
  BytesLeft += added.Size - added.RestartAt;
  if (List.OnQueueActive) List.OnQueueActive(*this);
  if (OnItemAdded) OnItemAdded(*this, added);
  ProcessNext();
  return index;
}

int TTransferItems::AddEntry(const TTransferEntry& entry) {
  auto item = std::make_unique<TTransferItem>(entry);
  return Add(item);
}

bool TTransferItems::Borrowing() const {
  return HostView && List.Prefs && List.Prefs->SingleConnectionsOnly;
}

int TTransferItems::ProcessNext() {
  DebugTrace(Format("TTransferItems.ProcessNext. StateCount[isBusy] = %d", StateCount[isBusy]));
  if (List.OnIdle) List.OnIdle();
  if (StateCount[isBusy] >= 1) return 0;
  // The view lists folders over the connection while it gathers; it starts us when done.
  if (Borrowing() && HostView->Gathering) return 0;
  if (StateCount[isPending] > 0 && List.ShowTransferInfo && List.OnQueueActive) List.OnQueueActive(*this);
  TTransferItem* item = FirstInState(isPending);
  if (!item) return 0;
  TFTPComponent* connection = nullptr;
  if (item->IsHTTP) {
    item->OwnConnection = std::make_unique<TFTPComponent>();
    connection = item->OwnConnection.get();
  } else {
    connection = GetConnection(*item);
  }
  if (!connection) return 0;
  item->Process(*connection);
  return 1;
}

TFTPComponent* TTransferItems::GetConnection(const TTransferItem& item) {
  if (Borrowing()) {
    HostView->Transferring = true;
    return &HostView->FTP();
  }
  for (auto& c : Connections) {
    if (c->Host() == item.Host && c->Port == static_cast<int>(item.Port) && c->User == item.UserID &&
        c->Password == item.Password && c->Account == item.Account && c->CharacterSet() == item.CharacterSet &&
        c->Encryption == item.Encryption && !c->Busy())
      return c.get();
  }
  // Another server or login: the pool holds one connection, replaced. Nothing runs on it
  // (we start only when idle), and the ended items that ran on it must forget it.
  DisconnectAll();
  return NewPooled(item);
}

TFTPComponent* TTransferItems::NewPooled(const TTransferItem& item) {
  auto c = std::make_unique<TFTPComponent>();
  c->SetHost(item.Host);
  c->Port = static_cast<int>(item.Port);
  c->User = item.UserID;
  c->Password = item.Password;
  c->Account = item.Account;
  c->SetCharacterSet(item.CharacterSet);
  c->Encryption = item.Encryption;
  if (List.Prefs) c->SetPassive(List.Prefs->UsePASV);
  Connections.push_back(std::move(c));
  return Connections.back().get();
}

bool TTransferItems::InPool(const TFTPComponent* connection) const {
  return std::any_of(Connections.begin(), Connections.end(), [&](const auto& c) { return c.get() == connection; });
}

void TTransferItems::ReleaseLater(std::unique_ptr<TFTPComponent> connection) {
  if (!connection) return;
  // Its notifications may be on the stack: nothing of it runs from now on, and it goes
  // once they have returned.
  TFTPComponent& c = *connection;
  c.OnAbort = nullptr;
  c.OnCantLogIn = nullptr;
  c.OnCommandCompleted = nullptr;
  c.OnConnect = nullptr;
  c.OnDisconnect = nullptr;
  c.OnError = nullptr;
  c.OnLog = nullptr;
  c.OnLoggedIn = nullptr;
  c.OnProgress = nullptr;
  c.OnUpdateFileSize = nullptr;
  auto held = std::make_shared<std::unique_ptr<TFTPComponent>>(std::move(connection));
  QMetaObject::invokeMethod(QCoreApplication::instance(), [held] { held->reset(); }, Qt::QueuedConnection);
}

void TTransferItems::DisconnectAll() {
  while (!Connections.empty()) {
    std::unique_ptr<TFTPComponent> c = std::move(Connections.back());
    Connections.pop_back();
    c->Logout();
    // The item it carried will hear nothing more: it ends here, cancelled.
    for (auto& item : Items) {
      if (item->Connection != c.get()) continue;
      item->Connection = nullptr;
      if (item->State != isBusy) continue;
      ItemCompleted(*item);
      item->SetState(isCancelled);
    }
    ReleaseLater(std::move(c));
  }
}

void TTransferItems::ItemCompleted(TTransferItem& item) {
  ++DoneCount;
  std::shared_ptr<bool> alive = Alive;
  if (OnItemCompleted) OnItemCompleted(*this, item);
  if (!*alive) return;
  // Raised before the item's final state is set: it still counts as busy here. The client
  // hears the local file: for an upload that is its source, not the server's folder.
  RaiseAutomation(&TAutomationHooks::OnItemCompleted, item.LocalPath());
  if (StateCount[isPending] == 0) RaiseAutomation(&TAutomationHooks::OnAllItemsCompleted);
}

TTransferItem* TTransferItems::Item(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return Items[static_cast<std::size_t>(index)].get();
}

TTransferItem* TTransferItems::FirstInState(TTransferState state) const {
  for (const auto& item : Items)
    if (item->State == state) return item.get();
  return nullptr;
}

int TTransferItems::PercentDone() const {
  const std::int64_t total = BytesDone + BytesLeft;
  if (total <= 0) return 0;
  const double percent = std::round(static_cast<double>(BytesDone) * 100.0 / static_cast<double>(total));
  return static_cast<int>(std::clamp(percent, 0.0, 100.0));
}

void TTransferItems::Move(int from, int to) {
  if (from < 0 || from >= Count() || to < 0 || to >= Count() || from == to) return;
  auto first = Items.begin();
  if (from < to) std::rotate(first + from, first + from + 1, first + to + 1);
  else std::rotate(first + to, first + from, first + from + 1);
}

void TTransferItems::CancelPending() {
  for (auto& item : Items)
    if (item->State == isPending) item->SetState(isCancelled);
}

bool TTransferItems::SkipBusy() {
  TTransferItem* busy = FirstInState(isBusy);
  return busy && busy->Skip();
}

void TTransferItems::Release() {
  View = nullptr;  // the view is going and has forgotten us
  List.RemoveQueue(*this);
}

void TTransferItems::AddLog(TFTPComponent& connection, const std::string& message, TColor color) {
  Log.push_back({message, color});
  if (OnLog) OnLog(*this, connection, message, color);
}

// The list of queues.

namespace {
TTransferItemsList*& Installed() {
  static TTransferItemsList* list = nullptr;
  return list;
}
}  // namespace

TTransferItemsList::TTransferItemsList(const TPreferences* prefs) : Prefs(prefs) {
  if (Installed()) return;
  Installed() = this;
  SetTransferServices(this);
}

TTransferItemsList::~TTransferItemsList() {
  while (!Queues.empty()) RemoveQueue(*Queues.back());
  if (Installed() != this) return;
  Installed() = nullptr;
  SetTransferServices(nullptr);
}

TTransferItemsList* TTransferItemsList::Instance() { return Installed(); }

TTransferItems& TTransferItemsList::CreateQueue(const std::string& caption, THostView* hostView) {
  Queues.push_back(std::make_unique<TTransferItems>(*this, caption, hostView));
  TTransferItems& queue = *Queues.back();
  if (OnQueueCreated) OnQueueCreated(queue);
  return queue;
}

void TTransferItemsList::RemoveQueue(TTransferItems& queue) {
  auto it = std::find_if(Queues.begin(), Queues.end(), [&](const auto& q) { return q.get() == &queue; });
  if (it == Queues.end()) return;
  if (OnQueueRemoved) OnQueueRemoved(queue);
  if (GeneralQueue == &queue) GeneralQueue = nullptr;
  std::unique_ptr<TTransferItems> going = std::move(*it);
  Queues.erase(it);
}

int TTransferItemsList::StateCount(TTransferState state) const {
  int sum = 0;
  for (const auto& q : Queues) sum += q->StateCount[state];
  return sum;
}

TTransferItems& TTransferItemsList::General() {
  if (!GeneralQueue) GeneralQueue = &CreateQueue("General");
  return *GeneralQueue;
}

void TTransferItemsList::DisconnectAll() {
  for (const auto& q : Queues) q->DisconnectAll();
}

}  // namespace ferrowin
