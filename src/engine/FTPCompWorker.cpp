// The worker's life: its thread body, the command dispatcher and the connection attempts
// of a login.

#include <sys/eventfd.h>
#include <unistd.h>

#include <poll.h>

#include <condition_variable>
#include <new>
#include <thread>
#include <vector>

#include "FTPCompThread.h"

namespace ferrowin {
namespace {

struct TWorkerCount {
  std::mutex Lock;
  std::condition_variable Changed;
  int Live = 0;
  std::vector<std::weak_ptr<TFTPThread>> Threads;  // for StopWorkers
};

// Never destroyed: a worker that outlives main must not find it gone.
TWorkerCount& Workers() {
  static TWorkerCount& count = *new TWorkerCount;
  return count;
}

}  // namespace

TFTPThread::TFTPThread(std::shared_ptr<TConnectionShared> shared)
    : Shared(std::move(shared)), WakeFd(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

TFTPThread::~TFTPThread() {
  if (WakeFd >= 0) ::close(WakeFd);
}

int TFTPThread::LiveWorkers() {
  std::lock_guard lock(Workers().Lock);
  return Workers().Live;
}

bool TFTPThread::WaitForWorkers(std::chrono::milliseconds timeout) {
  std::unique_lock lock(Workers().Lock);
  return Workers().Changed.wait_for(lock, timeout, [] { return Workers().Live == 0; });
}

bool TFTPThread::StopWorkers(std::chrono::milliseconds timeout) {
  std::vector<std::shared_ptr<TFTPThread>> running;
  {
    std::lock_guard lock(Workers().Lock);
    for (const auto& weak : Workers().Threads)
      if (auto thread = weak.lock()) running.push_back(std::move(thread));
  }
  for (const auto& thread : running) {
    thread->Queue.Clear();
    thread->Abort();
    thread->Terminate();
  }
  running.clear();
  return WaitForWorkers(timeout);
}

void TFTPThread::Start() {
  {
    std::lock_guard lock(Workers().Lock);
    ++Workers().Live;
    std::erase_if(Workers().Threads, [](const auto& weak) { return weak.expired(); });
    Workers().Threads.push_back(weak_from_this());
  }
  std::thread([self = shared_from_this()]() mutable {
    self->Execute();
    self.reset();  // the worker frees itself when its component has let go
    std::lock_guard lock(Workers().Lock);
    --Workers().Live;
    Workers().Changed.notify_all();
  }).detach();
}

void TFTPThread::Abort() {
  AbortPending = true;
  Aborted = true;
  (void)::eventfd_write(WakeFd, 1);
}

void TFTPThread::Terminate() {
  Terminated = true;
  Queue.Terminate();
}

void TFTPThread::Execute() {
  DebugTrace(Format("Started new FTP thread, ThreadID = %0.8x", static_cast<long>(::gettid())));
  while (!Terminated) {
    try {
      PostHeld();  // nothing waits while the worker is idle
      if (!Queue.Pop(Current)) continue;
      // Once the component is gone nobody hears a result; only a logout is still worth doing.
      if (Terminated && Current->Kind != TCommandKind::Logout) Current.reset();
      else DoCommand();
    } catch (...) {
      // Even the failure report failed (no memory left): drop the command, keep the worker.
      Current.reset();
      Executing = false;
    }
    Aborted = false;
    AbortPending = false;
  }
  CloseSocket(DataSocket);
  CloseSocket(ControlSocket);
  {
    std::lock_guard lock(Shared->Lock);
    if (Shared->Thread.get() == this) Shared->Thread.reset();
  }
  DebugTrace(Format("Ended FTP thread, ThreadID = %0.8x", static_cast<long>(::gettid())));
}

void TFTPThread::DoCommand() {
  AbortPending = false;  // an abort applies to the command running when it was asked for
  Aborted = false;
  bool result = false;
  SetLastSocketError(0);
  if (RepliesNeeded < 0) RepliesNeeded = 0;
  Executing = true;
  TCommandItem& item = *Current;
  const TCommandKind kind = item.Kind;
  Trace("Executing command \"%s\"", CommandName(kind));
  try {
    result = RunCommand(item);
  } catch (const ESocketException& e) {
    Trace("DoCommand.ESocketException");
    auto* control = dynamic_cast<const EControlSocketException*>(&e);
    if (control && e.ErrorCode == wsa::ConnectionReset) {
      if (*e.what()) NotifyLog(e.what(), ErrorColor);
      NotifyDisconnect();
    }
    if (kind == TCommandKind::FirewallLogin || kind == TCommandKind::Login) NotifyCantLogIn();
  } catch (const EStreamError& e) {
    Trace("DoCommand.EStreamError");
    NotifyLog(e.what(), ErrorColor);
  } catch (const std::bad_alloc&) {
    CommandFailed(kind, "Not enough memory to complete the command");
  } catch (const std::exception& e) {
    CommandFailed(kind, e.what());
  } catch (...) {
    CommandFailed(kind, "Unexpected failure");
  }
  TimerStart = 0;
  WaitLimit = 0;
  Quiet = false;
  CollectReplies = false;
  if (Aborted) NotifyLog("Action aborted by user.", InfoColor);
  Executing = false;  // not busy any more once the completion is on its way
  NotifyCommandCompleted(kind, result, Aborted);
  Current.reset();
}

// Whatever else a command throws ends that command, never the worker (nor the program).
void TFTPThread::CommandFailed(TCommandKind kind, const std::string& what) {
  Trace("DoCommand.Exception: %s", what);
  NotifyError(0, what);
  if (kind == TCommandKind::FirewallLogin || kind == TCommandKind::Login) NotifyCantLogIn();
}

// Commands on an open connection first read what earlier ones still owe; after the connection
// was dropped for falling out of step, the next command logs in again first.
bool TFTPThread::PrepareConnection(TCommandKind kind) {
  switch (kind) {
    case TCommandKind::FirewallLogin:
    case TCommandKind::Login:
    case TCommandKind::GetHTTP:
      Reconnect = false;  // these open their own connection
      return true;
    case TCommandKind::Logout:
      Reconnect = false;
      LastLogin.reset();
      break;
    default:
      break;
  }
  SettleOwedReplies();
  if (!Reconnect || ControlSocket.Valid() || !LastLogin) return true;
  Reconnect = false;
  return LogInAgain();
}

// The last login once more, on a new connection, back in the folder and the type the command
// that follows expects: a login leaves the server in ASCII, which would alter a binary file.
bool TFTPThread::LogInAgain() {
  const std::string folder = CurrentFolder;
  const char type = TypeLetter;
  const TCommandItem login(LastLogin->Kind, LastLogin->Params);
  if (!LoginWithAttempts(login)) return false;
  if (!folder.empty() && Command("CWD " + folder) == 2) CurrentFolder = folder;
  if (type != 0 && TypeLetter != type && Command(std::string("TYPE ") + type) == 2) TypeLetter = type;
  return true;
}

bool TFTPThread::RunCommand(TCommandItem& item) {
  if (!PrepareConnection(item.Kind)) return false;
  // A connection that is closed already (dropped, or closed by the server) needs no QUIT.
  if (item.Kind == TCommandKind::Logout && !ControlSocket.Valid()) {
    NotifyDisconnect();
    return true;
  }
  switch (item.Kind) {
    case TCommandKind::FirewallLogin:
    case TCommandKind::Login:
      return LoginWithAttempts(item);
    case TCommandKind::Logout:
      return DoLogout();
    case TCommandKind::GetCurrentFolder:
      return FolderCommand("PWD", TFolderReplyType::CurrentFolder);
    case TCommandKind::SetCurrentFolder: {
      bool ok = FolderCommand("CWD " + item.Param(0), TFolderReplyType::Changed);
      if (ok) CurrentFolder = item.Param(0);
      return ok;
    }
    case TCommandKind::CreateFolder:
      return FolderCommand("MKD " + item.Param(0), TFolderReplyType::Created);
    case TCommandKind::RemoveFolder:
      return FolderCommand("RMD " + item.Param(0), TFolderReplyType::Removed);
    case TCommandKind::Delete:
      return DoDelete(item);
    case TCommandKind::Rename:
      return DoRename(item);
    case TCommandKind::NoOp:
      return DoNoOp();
    case TCommandKind::SetType:
      return DoSetType(item);
    case TCommandKind::ChangeAttributes:
      return DoChangeAttributes(item);
    case TCommandKind::List:
      return DoList(item);
    case TCommandKind::Download:
    case TCommandKind::ResumeDownload:
      return DoTransfer(item, true);
    case TCommandKind::Upload:
    case TCommandKind::ResumeUpload:
      return DoTransfer(item, false);
    case TCommandKind::GetHTTP:
      return DoGetHTTP(item);
    default:
      return false;
  }
}

bool TFTPThread::LoginWithAttempts(const TCommandItem& item) {
  const std::string& host = item.Param(0);
  const std::string& port = item.Param(1);
  const auto& settings = EngineSettings();
  UseTls(item);
  bool loggedIn = false;
  bool final = false;
  bool refused = false;
  std::string reply;  // of the last failed attempt, for the cannot-log-in notification
  int attempt = 1;
  for (;;) {
    ReceiveBuffer.Clear();
    NotifyLog(Format("Attempting to connect to %s, attempt %d\r\n", host, attempt), InfoColor);
    if (!Connect(host, port)) {
      int e = LastSocketError();
      final = e == wsa::HostNotFound || e == wsa::NoRecovery;
    } else if (!Aborted) {
      try {
        if (item.Kind == TCommandKind::FirewallLogin) FirewallDialogue(item);
        else LoginDialogue(item.Param(2), item.Param(3), item.Param(4));
        loggedIn = true;
      } catch (const ELoginRefused& e) {
        NotifyLog(e.what(), ErrorColor);
        reply = e.Reply;
        refused = final = true;
      } catch (const EControlSocketException& e) {
        if (*e.what() && e.ErrorCode != wsa::NotSocket) NotifyLog(e.what(), ErrorColor);
        reply = ReplyText();
      }
    }
    ++attempt;
    const int maxAttempts = settings.MaxAttempts;
    const bool more = maxAttempts == 0 || attempt <= maxAttempts;
    if (!loggedIn && !Aborted && !final && settings.RetryDelay > 0 && more) RetryPause();
    if (loggedIn || final || Aborted || !more) break;
  }
  CollectReplies = false;
  if (!loggedIn || Aborted) {
    NotifyDisconnect();
    NotifyCantLogIn(reply, refused);
    return false;
  }
  AfterLogin();
  LastLogin = std::make_unique<TCommandItem>(item.Kind, item.Params);
  return true;
}

void TFTPThread::RetryPause() {
  const int delay = EngineSettings().RetryDelay;
  NotifyLog(Format("%d seconds delay before retrying...", delay), InfoColor);
  PostHeld();  // the line shows while we wait
  for (int step = 0; step < delay * 4 + 1 && !Aborted; ++step) {
    pollfd wake{WakeFd, POLLIN, 0};
    ::poll(&wake, 1, 250);
  }
}

}  // namespace ferrowin
