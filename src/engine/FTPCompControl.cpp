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
  std::string data = text + "\r\n";
  FlushControlSocket();
  Aborted = false;
  std::size_t sent = 0;
  while (sent < data.size()) {
    TimerStart = TickCount();
    if (!ControlSocket.Valid() || !WaitFor(ControlSocket.Fd(), POLLOUT)) DoErrorControl();
    ssize_t n = ::send(ControlSocket.Fd(), data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
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
  while (RepliesNeeded > 0) {
    int before = RepliesNeeded;
    GetReply(false);
    if (RepliesNeeded == before) break;
  }
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
      NotifyLog(line, LastCode >= 400 ? ErrorColor : ReplyColor);
      result = ReplyClass(line);
    }
    if (result == 0 && wait) {
      if (ReceiveBuffer.Pending() > MaxReplyLineLength) ReplyTooLong();
      ReceiveControl();
    }
  } while (result == 0 && wait);
  TimerStart = 0;
  if (result > 0) --RepliesNeeded;
  Trace("Got return code = %d", LastCode);
  return result;
}

// Waits for more of the reply and appends it to the receive buffer.
void TFTPThread::ReceiveControl() {
  char chunk[ReceiveChunk];
  Aborted = false;
  TimerStart = TickCount();
  if (!WaitFor(ControlSocket.Fd(), POLLIN)) DoErrorControl();
  ssize_t n = ::recv(ControlSocket.Fd(), chunk, sizeof chunk, 0);
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
