// The control connection: sending a command, reading single- and multi-line replies, and
// keeping count of the replies the server still owes.

#include <poll.h>
#include <sys/socket.h>

#include <cerrno>

#include "FTPCompThread.h"

namespace ferrowin {

void TFTPThread::SendCommand(const std::string& text) {
  NotifyLog(text, CommandColor);
  Trace("Sending command \"%s\", RepliesNeeded = %d", text.compare(0, 4, "PASS") == 0 ? "PASS xxxxx" : text,
        RepliesNeeded);
  std::string data = Names.EncodeCommand(text) + "\r\n";
  FlushControlSocket();
  Aborted = false;
  std::size_t sent = 0;
  while (sent < data.size()) {
    TimerStart = TickCount();
    if (!ControlSocket.Valid() || !WaitSocket(ControlSocket, POLLOUT)) DoErrorControl();
    ssize_t n = SocketSend(ControlSocket, data.data() + sent, data.size() - sent);
    if (n < 0 && errno != EAGAIN && errno != EINTR) {
      SetLastSocketError(SocketErrorFromErrno(errno));
      DoErrorControl();
    }
    if (n > 0) sent += static_cast<std::size_t>(n);
  }
  ++RepliesNeeded;
  TimerStart = 0;
}

void TFTPThread::FlushControlSocket() {
  Trace("FlushControlSocket, RepliesNeeded = %d", RepliesNeeded);
  // Only what has arrived: each complete reply read pays one owed (a preliminary one pays none).
  while (RepliesNeeded > 0 && GetReply(false) > 0) {
  }
}

namespace {
// How long replies still owed for earlier commands (after an abort or a time-out) may take
// before the connection counts as out of step: they are normally on their way already.
constexpr std::uint32_t OwedReplyWait = 3000;
}  // namespace

// Reads what the server still owes, within the short wait; false when it did not all come
// (also when the server closed the connection).
bool TFTPThread::ReadOwedReplies() {
  if (RepliesNeeded <= 0 || !ControlSocket.Valid()) return true;
  Trace("ReadOwedReplies, RepliesNeeded = %d", RepliesNeeded);
  struct TRestore {
    std::uint32_t& Limit;
    ~TRestore() { Limit = 0; }
  } restore{WaitLimit};
  WaitLimit = OwedReplyWait;
  try {
    while (RepliesNeeded > 0) GetReply();
  } catch (const EControlSocketException&) {
    if (Aborted) throw;
    return false;
  }
  return true;
}

// Before a command: the replies owed for earlier ones are read, so that this command gets its
// own. A server that does not send them is out of step for good: the connection is closed,
// and the next command logs in again.
void TFTPThread::SettleOwedReplies() {
  if (ReadOwedReplies()) return;
  NotifyLog("No reply from the server to an earlier command; closing the connection", ErrorColor);
  NotifyDisconnect();
  Reconnect = LastLogin != nullptr;
}

int TFTPThread::GetReply(bool wait) {
  int result = 0;
  LastCode = 0;
  LastReply.clear();
  ReplyLines.clear();
  if (!ControlSocket.Valid()) DoErrorControl();
  if (RepliesNeeded <= 0) return 0;
  Trace("Getting return code..., RepliesNeeded = %d", RepliesNeeded);
  int lines = 0;
  std::string line;
  do {
    while (result == 0 && ReceiveBuffer.CutLine(line)) {
      if (++lines > MaxReplyLines) ReplyTooLong();
      LastReply = line;
      if (CollectReplies) ReplyLines.push_back(line);
      LastCode = ReplyCode(line);
      NotifyLog(Names.Shown(line), LastCode >= 400 ? ErrorColor : ReplyColor);
      result = ReplyClass(line);
    }
    if (result == 0 && wait) {
      if (ReceiveBuffer.Pending() > MaxReplyLineLength) ReplyTooLong();
      ReceiveControl();
    }
  } while (result == 0 && wait);
  TimerStart = 0;
  // A preliminary reply (1xx) is followed by the command's closing reply, which stays owed.
  if (result > 1) --RepliesNeeded;
  Trace("Got return code = %d", LastCode);
  return result;
}

// Waits for more of the reply and appends it to the receive buffer.
void TFTPThread::ReceiveControl() {
  char chunk[ReceiveChunk];
  Aborted = false;
  TimerStart = TickCount();
  if (!WaitSocket(ControlSocket, POLLIN)) DoErrorControl();
  ssize_t n = SocketRecv(ControlSocket, chunk, sizeof chunk);
  if (n > 0) {
    ReceiveBuffer.Append(chunk, static_cast<std::size_t>(n));
    return;
  }
  if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
  if (n == 0 || errno == ECONNRESET) {
    LastCode = 0;
    LastReply.clear();
    ReplyLines.clear();
    --RepliesNeeded;
    CloseSocket(ControlSocket);
    ReceiveBuffer.Clear();
    Trace("Host closed Control Connection");
    DoErrorControl();
  }
  SetLastSocketError(SocketErrorFromErrno(errno));
  DoErrorControl();
}

// A reply line without end, or a reply without end: the server is not speaking FTP (or is
// hostile). The connection cannot be trusted after this, so it is closed.
void TFTPThread::ReplyTooLong() {
  NotifyLog(Format("Reply from server too long (more than %d bytes in a line or %d lines); closing the connection",
                   static_cast<std::int64_t>(MaxReplyLineLength), MaxReplyLines),
            ErrorColor);
  TimerStart = 0;
  ReceiveBuffer.Clear();
  RepliesNeeded = 0;
  NotifyDisconnect();
  throw EControlSocketException(SocketErrorText(wsa::MessageTooLong), wsa::MessageTooLong);
}

void TFTPThread::DoErrorControl() {
  if (Aborted) {
    AbortPending = false;  // this abort is acted on; no later wait of the command takes it again
    NotifyAbort();
  } else if (TimedOut()) {
    SetLastSocketError(wsa::TimedOut);
  } else if (!ControlSocket.Valid()) {
    SetLastSocketError(wsa::ConnectionReset);
  }
  TimerStart = 0;
  int e = LastSocketError();
  Trace("DoErrorControl. LastError = %0.8x, Aborted = %d, TimedOut = %d", e, Aborted ? 1 : 0, TimedOut() ? 1 : 0);
  throw EControlSocketException(SocketErrorText(e), e);
}

void TFTPThread::DoErrorAborted() {
  if (Aborted) {
    AbortPending = false;  // this abort is acted on
    SetLastSocketError(wsa::Interrupted);
    NotifyAbort();
  } else if (TimedOut()) {
    SetLastSocketError(wsa::TimedOut);
    ReportSocketError();
  }
  TimerStart = 0;
  int e = LastSocketError();
  Trace("DoErrorAborted. LastError = %0.8x, Aborted = %d, TimedOut = %d", e, Aborted ? 1 : 0, TimedOut() ? 1 : 0);
  throw EDataSocketException(SocketErrorText(e), e);
}

}  // namespace ferrowin
