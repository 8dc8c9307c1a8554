// One transfer item: starting it on a connection, the connection's notifications while it
// runs, and its end.

#include <fcntl.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QMetaObject>
#include <algorithm>
#include <chrono>
#include <cmath>

#include "FTPUtils.h"
#include "Format.h"
#include "HostView.h"
#include "LogOn.h"
#include "Options.h"
#include "Prompts.h"
#include "Transfer.h"

namespace ferrowin {

bool SetLocalFileDate(const std::string& path, TDateTime date) {
  // utimensat changes the time without opening the file, so a read-only file keeps its mode.
  const auto point = ToTimePoint(date);
  const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(point.time_since_epoch()).count();
  timespec times[2];
  times[0].tv_sec = times[1].tv_sec = static_cast<time_t>(ns / 1'000'000'000);
  times[0].tv_nsec = times[1].tv_nsec = static_cast<long>(ns % 1'000'000'000);
  return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

TTransferItem::TTransferItem(const TTransferEntry& entry) : TTransferEntry(entry) {}

TTransferItem::~TTransferItem() {
  if (Connection && Owner && !Owner->InPool(Connection) && !OwnConnection) HandBack(*Connection);
}

void TTransferItem::SetState(TTransferState state) {
  if (state == State) return;
  if (Owner) {
    --Owner->StateCount[State];
    const std::int64_t left = Size - RestartAt;
    if (State == isPending && state == isCancelled) {
      Owner->BytesDone -= RestartAt;
      Owner->BytesLeft -= left;
    } else if (State == isCancelled && state == isPending) {
      Owner->BytesDone += RestartAt;
      Owner->BytesLeft += left;
    }
  }
  State = state;
  if (!Owner) return;
  ++Owner->StateCount[state];
  if (Owner->List.OnItemState) Owner->List.OnItemState(*Owner, *this);
  if (Owner->OnItemStateChange) Owner->OnItemStateChange(*Owner, *this);
}

int TTransferItem::PercentDone() const {
  if (Size <= 0) return 0;
  const double percent = std::round(static_cast<double>(BytesDone) * 100.0 / static_cast<double>(Size));
  return static_cast<int>(std::clamp(percent, 0.0, 100.0));
}

int TTransferItem::Index() const {
  if (!Owner) return -1;
  for (int i = 0; i < Owner->Count(); ++i)
    if (Owner->Item(i) == this) return i;
  return -1;
}

std::string TTransferItem::LocalPath() const {
  if (IsHTTP) return DestFolder + DestName;
  return IsUpload ? SourceFolder + SourceName : DestFolder + SourceName;
}

void TTransferItem::SetURL(const std::string& url) {
  URL = url;
  TURLParts parts;
  if (!ParseURL(url, "", parts)) return;
  UserID = parts.User;
  Password = parts.Password;
  Host = parts.Host;
  Port = parts.Port;
  if (parts.ImplicitTls) Encryption = TEncryption::Implicit;
  SourceFolder = parts.Folder;
  SourceName = parts.FileName;
  DestName = SourceName.substr(0, SourceName.find('\0'));
}

bool TTransferItem::Skip() {
  if (State != isBusy || !Connection) return false;
  Connection->Abort();
  return true;
}

void TTransferItem::Process(TFTPComponent& c) {
  DebugTrace(Format("Processing Transfer Item. Name = \"%s\"", SourceName));
  SetState(isBusy);
  if (Connection != &c) {
    // A browsing connection keeps serving its view: its handlers run after ours.
    if (c.Owner()) {
      SavedConnect = c.OnConnect.Get();
      SavedDisconnect = c.OnDisconnect.Get();
      SavedLog = c.OnLog.Get();
      SavedProgress = c.OnProgress.Get();
    }
    InstallHandlers(c);
    Connection = &c;
    StartTick = TickCount();
    BytesDone = RestartAt;
    if (Owner && Owner->OnItemStarted) Owner->OnItemStarted(*Owner, *this);
  }
  if (IsHTTP) return c.GetHTTP(URL, DestFolder + DestName);
  if (!c.LoggedIn()) return LogOn(c);
  Start(c);
}

void TTransferItem::InstallHandlers(TFTPComponent& c) {
  c.OnCommandCompleted = [this](TFTPComponent&, TCommandKind command, bool success, bool aborted) {
    ftpCommandCompleted(command, success, aborted);
  };
  c.OnConnect = [this](TFTPComponent& x) { ftpConnect(x); };
  c.OnDisconnect = [this](TFTPComponent& x) { ftpDisconnect(x); };
  c.OnError = [this](TFTPComponent&, int code, const std::string& message) { ftpError(code, message); };
  c.OnLog = [this](TFTPComponent& x, const std::string& message, TColor color) { ftpLog(x, message, color); };
  c.OnLoggedIn = [this](TFTPComponent& x) { ftpLoggedIn(x); };
  c.OnCantLogIn = [this](TFTPComponent&) { ftpCantLogIn(); };
  c.OnProgress = [this](TFTPComponent& x, TProgressKind kind, std::int64_t bytes, bool isFile) {
    ftpProgress(x, kind, bytes, isFile);
  };
  c.OnUpdateFileSize = [this](TFTPComponent&, const std::string& path, std::int64_t size) {
    ftpUpdateFileSize(path, size);
  };
}

TTransferType TTransferItem::TypeOf(const std::string& name) const {
  return TransferTypeOf(Owner ? Owner->List.Prefs : nullptr, name);
}

void TTransferItem::LogOn(TFTPComponent& c) {
  if (Owner && Owner->List.OnStatusText) Owner->List.OnStatusText(Format("Logging on to %s...", Host));
  c.SetHost(Host);
  c.Port = static_cast<int>(Port);
  c.User = UserID;
  c.Password = Password;
  c.Account = Account;
  c.SetCharacterSet(CharacterSet);
  c.Encryption = Encryption;
  c.SetServerType(1);  // "Not Relevant": a transfer needs no detection
  ferrowin::LogOn(c, Owner ? Owner->List.Prefs : nullptr, UseFirewall);
}

void TTransferItem::Start(TFTPComponent& c) {
  const TTransferType type = TypeOf(SourceName);
  if (IsUpload && IsFolder) return c.CreateFolder(DestFolder + DestName);
  if (IsUpload) return c.ResumeUpload(SourceFolder + SourceName, DestFolder, DestFolder + DestName, type, RestartAt);
  if (!IsSafeEntryName(SourceName)) {
    // Never a local path outside the destination, whoever built the item.
    if (Owner) Owner->AddLog(c, Format("Refused the unsafe name \"%s\"", SourceName), ErrorColor);
    return PostCompletion(TCommandKind::Download, false);
  }
  if (IsFolder) return PostCompletion(TCommandKind::CreateFolder, CreateLocalFolder());
  c.ResumeDownload(SourceFolder, SourceFolder + SourceName, DestFolder + SourceName, type, RestartAt);
}

bool TTransferItem::CreateLocalFolder() const {
  // One level; a folder that is already there counts as failed, its files still come.
  return ::mkdir((DestFolder + SourceName).c_str(), 0777) == 0;
}

void TTransferItem::PostCompletion(TCommandKind command, bool success) {
  // From the event loop, so a long run of folder items does not nest ever deeper.
  std::weak_ptr<bool> alive = Owner ? Owner->AliveToken() : std::shared_ptr<bool>();
  QMetaObject::invokeMethod(
      QCoreApplication::instance(),
      [this, alive, command, success] {
        if (!alive.expired()) ftpCommandCompleted(command, success, false);
      },
      Qt::QueuedConnection);
}

void TTransferItem::ftpCommandCompleted(TCommandKind command, bool success, bool aborted) {
  DebugTrace(Format("TTransferItem.ftpCommandCompleted. FileName = %s, Command = %s, Success = %d, Aborted = %d",
                    SourceName, CommandName(command), success ? 1 : 0, aborted ? 1 : 0));
  // Ending runs the event loop: nothing that arrives meanwhile ends the item twice.
  if (!Owner || State != isBusy || Ending) return;
  switch (command) {
    case TCommandKind::Login:
    case TCommandKind::FirewallLogin:
      // A connection that cannot log on ends the item; the queue goes on.
      if (success) return;
      break;
    case TCommandKind::SetType:
      if (success && !aborted) return;
      break;
    case TCommandKind::Download:
    case TCommandKind::Upload:
    case TCommandKind::ResumeDownload:
    case TCommandKind::ResumeUpload:
    case TCommandKind::Logout:
    case TCommandKind::CreateFolder:
    case TCommandKind::RemoveFolder:
    case TCommandKind::GetHTTP:
      break;
    default:
      return;
  }
  Finish(command, success, aborted);
}

void TTransferItem::Finish(TCommandKind command, bool success, bool aborted) {
  TTransferItems& queue = *Owner;
  Ending = true;
  std::shared_ptr<bool> alive = queue.AliveToken();
  const bool upload = command == TCommandKind::Upload || command == TCommandKind::ResumeUpload;
  if (!success && upload && DestName.find(' ') != std::string::npos) {
    ShowMessage(nullptr, QString::fromStdString(Format(
                             "There was a problem uploading \"%s\", which may be due to the fact that the filename "
                             "contains spaces.\r\n\r\nFerrowin offers advanced conversion options available under "
                             "Options->General Preferences.",
                             DestName)));
    if (!*alive) return;
  }
  if (success && command != TCommandKind::Logout && command != TCommandKind::SetType) {
    if (DestView) DestView->EntryArrived(this, DestFolder, FileDate, Size, IsFolder, DestName);
    const TPreferences* prefs = queue.List.Prefs;
    if (!IsUpload && !IsFolder && (!prefs || prefs->PreserveTimeStamp) && FileDate != 0)
      SetLocalFileDate(LocalPath(), FileDate);
  }
  queue.ItemCompleted(*this);
  bool handedBack = false;
  if (Connection && !queue.InPool(Connection)) {
    TFTPComponent* c = Connection;
    Connection = nullptr;
    if (OwnConnection) TTransferItems::ReleaseLater(std::move(OwnConnection));
    else handedBack = HandBack(*c, false);
  }
  // Lets the windows repaint and a click (Cancel) take effect before the next item starts.
  QCoreApplication::processEvents();
  if (!*alive) return;
  Ending = false;
  SetState(aborted ? isCancelled : (success ? isDone : isError));
  TTransferItemsList& list = queue.List;
  const QPointer<THostView> view = queue.HostView;
  queue.ProcessNext();
  // Only when the next item did not borrow the connection again: the commands stay as they
  // are through a batch instead of flickering on and off between its files.
  if (handedBack && *alive && view && !view->Transferring && list.OnCommandsChanged) list.OnCommandsChanged();
}

bool TTransferItem::HandBack(TFTPComponent& c, bool announce) {
  c.OnCommandCompleted = nullptr;
  c.OnUpdateFileSize = nullptr;
  THostView* view = Owner ? Owner->HostView.data() : nullptr;
  if (!view) return false;
  view->InstallHandlers();
  view->Transferring = false;
  if (announce && Owner->List.OnCommandsChanged) Owner->List.OnCommandsChanged();
  return true;
}

void TTransferItem::ftpConnect(TFTPComponent& c) {
  if (Owner && Owner->OnConnect) Owner->OnConnect(*Owner, c);
  if (SavedConnect) SavedConnect(c);
}

void TTransferItem::ftpDisconnect(TFTPComponent& c) {
  DebugTrace(Format("TTransferItem.ftpDisconnect. FileName = %s", SourceName));
  if (Owner && Owner->OnDisconnect) Owner->OnDisconnect(*Owner, c);
  if (SavedDisconnect) SavedDisconnect(c);
}

void TTransferItem::ftpError(int code, const std::string& message) {
  DebugTrace(Format("TTransferItem.ftpError. FileName = %s", SourceName));
  if (!Owner) return;
  if (Owner->OnError) Owner->OnError(*Owner, code, message);
  else if (Connection) ftpLog(*Connection, message, ErrorColor);
}

void TTransferItem::ftpLog(TFTPComponent& c, const std::string& message, TColor color) {
  if (Owner) Owner->AddLog(c, message, color);
  if (SavedLog) SavedLog(c, message, color);
}

void TTransferItem::ftpLoggedIn(TFTPComponent& c) {
  if (&c == Connection && State == isBusy) Process(c);
}

void TTransferItem::ftpCantLogIn() {
  if (Owner && Connection && State == isBusy)
    Owner->AddLog(*Connection, Format("Could not log on to %s", Host), ErrorColor);
}

void TTransferItem::ftpProgress(TFTPComponent& c, TProgressKind kind, std::int64_t bytes, bool isFile) {
  if (Owner && State == isBusy) {
    const std::int64_t delta = std::max<std::int64_t>(bytes - BytesDone, 0);
    BytesDone = std::max(bytes, BytesDone);
    Owner->BytesDone += delta;
    Owner->BytesLeft -= delta;
    if (Owner->OnItemProgress) Owner->OnItemProgress(*Owner, *this);
  }
  if (SavedProgress) SavedProgress(c, kind, bytes, isFile);
}

void TTransferItem::ftpUpdateFileSize(const std::string& path, std::int64_t size) {
  if (IsUpload || path != LocalPath() || size == Size) return;
  if (Owner) Owner->BytesLeft += size - Size;
  Size = size;
  if (Owner && Owner->OnItemProgress) Owner->OnItemProgress(*Owner, *this);
}

}  // namespace ferrowin
