// Notifications from the worker: each writes its trace line and, only when the component
// has a handler for it at that moment, posts a record to the component's window.

#include <utility>

#include "FTPCompThread.h"
#include "MessageWindow.h"

namespace ferrowin {

std::string TFTPThread::HostName() {
  std::lock_guard lock(Shared->Lock);
  if (Shared->Window) LastHost = Shared->Host;
  return LastHost;
}

bool TFTPThread::Assigned(TNotification code) const {
  int bit = static_cast<int>(code) - FirstNotification;
  return (Shared->Handlers.load() >> bit) & 1u;
}

void TFTPThread::Post(TNotification code, std::unique_ptr<TEventRecord> record, bool canWait) {
  if (Held.empty()) HeldSince = TickCount();
  Held.emplace_back(code, std::move(record));  // in order, whatever goes first
  if (!canWait || HeldTimeLeft() == 0) PostHeld();
}

void TFTPThread::PostHeld() {
  if (Held.empty()) return;
  auto batch = std::exchange(Held, {});  // a post that throws drops the rest, never posts one twice
  std::lock_guard lock(Shared->Lock);
  if (Shared->Window)
    for (auto& [code, record] : batch) Shared->Window->Post(static_cast<int>(code), std::move(record));
}

int TFTPThread::HeldTimeLeft() const {
  if (Held.empty()) return -1;
  const std::uint32_t waited = TickCount() - HeldSince;
  return waited >= HoldMs ? 0 : static_cast<int>(HoldMs - waited);
}

void TFTPThread::NotifyAbort() {
  Trace("Notify Abort");
  if (Assigned(TNotification::Abort)) Post(TNotification::Abort, nullptr);
}

void TFTPThread::NotifyCantLogIn(const std::string& reply, bool refused) {
  Trace("Notify CantLogIn. Refused = %d", refused ? 1 : 0);
  if (!Assigned(TNotification::CantLogIn)) return;
  auto r = std::make_unique<TCantLogInData>();
  r->Reply = reply;
  r->Refused = refused;
  Post(TNotification::CantLogIn, std::move(r));
}

void TFTPThread::NotifyCommandCompleted(TCommandKind kind, bool success, bool aborted) {
  Trace("Notify CommandCompleted. Command = %s, Success = %d, Aborted = %d", CommandName(kind), success ? 1 : 0,
        aborted ? 1 : 0);
  if (!Assigned(TNotification::CommandCompleted)) return;
  auto r = std::make_unique<TCommandCompletedEventData>();
  r->Command = kind;
  r->Success = success;
  r->Aborted = aborted;
  // With the next command already queued the worker is not idle: this goes with that one's
  // first notification, as a pair of commands (a type, then a transfer) usually is.
  Post(TNotification::CommandCompleted, std::move(r), Queue.Count() > 0);
}

void TFTPThread::NotifyConnect() {
  // A new connection starts in the server's login folder, whatever the last one entered.
  CurrentFolder.clear();
  TypeLetter = 0;
  Trace("Notify Connect");
  if (Assigned(TNotification::Connect)) Post(TNotification::Connect, nullptr);
}

void TFTPThread::NotifyDeleteSuccessful(const std::string& fileName) {
  Trace("Notify DeleteSuccessful. FileName = \"%s\"", fileName);
  if (!Assigned(TNotification::DeleteSuccessful)) return;
  auto r = std::make_unique<TDeleteSuccessfulEventData>();
  r->FileName = fileName;
  Post(TNotification::DeleteSuccessful, std::move(r));
}

void TFTPThread::NotifyDisconnect() {
  CloseSocket(DataSocket);
  CloseSocket(ControlSocket);
  ServerAddress = {};
  Trace("Notify Disconnect");
  if (Assigned(TNotification::Disconnect)) Post(TNotification::Disconnect, nullptr);
}

void TFTPThread::NotifyError(int code, const std::string& desc) {
  Trace("Notify Error. Code = %d, Desc = \"%s\"", code, desc);
  if (!Assigned(TNotification::Error)) return;
  auto r = std::make_unique<TErrorData>();
  r->Code = code;
  r->Desc = desc;
  Post(TNotification::Error, std::move(r));
}

void TFTPThread::NotifyFolderReply(const std::string& folder, TFolderReplyType type, bool result) {
  Trace("Notify FolderReply. Folder = \"%s\", ReplyType = %d, Result = %d", folder, static_cast<int>(type),
        result ? 1 : 0);
  if (!Assigned(TNotification::FolderReply)) return;
  auto r = std::make_unique<TFolderEventData>();
  r->Folder = folder;
  r->ReplyType = type;
  r->Result = result;
  Post(TNotification::FolderReply, std::move(r));
}

void TFTPThread::NotifyLog(const std::string& message, TColor color) {
  if (!(Quiet && message.compare(0, 4, "PASS") == 0)) Trace("Notify Log. Message = \"%s\"", message);
  if (Quiet || !Assigned(TNotification::Log)) return;
  auto r = std::make_unique<TLogData>();
  r->Message = message;
  r->Color = color;
  Post(TNotification::Log, std::move(r), true);
}

void TFTPThread::NotifyLoggedIn() {
  Trace("Notify LoggedIn");
  if (Assigned(TNotification::LoggedIn)) Post(TNotification::LoggedIn, nullptr);
}

void TFTPThread::NotifyRenameSuccessful(const std::string& oldName, const std::string& newName) {
  Trace("Notify RenameSuccessful. OldName = \"%s\", NewName = \"%s\"", oldName, newName);
  if (!Assigned(TNotification::RenameSuccessful)) return;
  auto r = std::make_unique<TRenameSuccessfulEventData>();
  r->OldName = oldName;
  r->NewName = newName;
  Post(TNotification::RenameSuccessful, std::move(r));
}

}  // namespace ferrowin

namespace ferrowin {

void TFTPThread::NotifyProgress(TProgressKind kind, std::int64_t bytes) {
  if (!Assigned(TNotification::Progress)) return;
  auto r = std::make_unique<TProgressData>();
  r->Kind = kind;
  r->IsFile = ProgressIsFile;
  r->Bytes = bytes;
  // A start goes at once (a user may stop the file as it starts); the end goes with the reply
  // that follows it.
  Post(TNotification::Progress, std::move(r), kind != TProgressKind::Start);
}

void TFTPThread::NotifyProcessList(const std::string& folder, std::unique_ptr<TListingEntries> entries) {
  Trace("Notify ProcessList. Folder = \"%s\"", folder);
  if (!Assigned(TNotification::ProcessList)) return;  // the entries go with `entries`
  auto r = std::make_unique<TProcessListData>();
  r->Folder = folder;
  r->List = std::move(entries);
  Post(TNotification::ProcessList, std::move(r));
}

void TFTPThread::NotifyUpdateFileSize(const std::string& fileName, std::int64_t size) {
  Trace("Notify UpdateFileSize. NewSize = %d", size);
  if (!Assigned(TNotification::UpdateFileSize)) return;
  auto r = std::make_unique<TUpdateFileSizeEventData>();
  r->FileName = fileName;
  r->NewSize = size;
  Post(TNotification::UpdateFileSize, std::move(r));
}

}  // namespace ferrowin
