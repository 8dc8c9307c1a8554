// The worker's socket primitives. Every wait is a poll on the socket and on the worker's
// wake-up descriptor, so an abort request or the time-out cancels it at once; the cancelled
// call fails with 10004 (abort) or 10060 (time-out).

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "FTPCompThread.h"

namespace ferrowin {

void TSocket::Reset(int fd) {
  Tls.reset();
  int old = Handle.exchange(fd);
  if (old >= 0) ::close(old);
}

std::uint32_t TickCount() {
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
  auto tick = static_cast<std::uint32_t>(ms.count());
  return tick == 0 ? 1 : tick;  // 0 means "no wait is timed"
}

int NumberOr(const std::string& text, int fallback) {
  if (text.empty() || text.size() > 9) return fallback;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return fallback;
    value = value * 10 + (c - '0');
  }
  return value;
}

int PortNumber(const std::string& text, int fallback) {
  int port = NumberOr(text, fallback);
  return port <= 65535 ? port : fallback;
}

namespace {
// Bytes read off a closing connection at most: enough for an orderly end, never a whole file.
constexpr std::size_t MaxDrain = 64 * 1024;
}  // namespace

std::uint32_t TFTPThread::WaitLimitNow() const {
  const std::uint32_t timeOut = EngineSettings().TimeOut.load();
  return WaitLimit != 0 ? std::min(WaitLimit, timeOut) : timeOut;
}

bool TFTPThread::TimedOut() const { return TimerStart != 0 && TickCount() - TimerStart > WaitLimitNow(); }

bool TFTPThread::BlockingHook() {
  if (AbortPending.exchange(false)) Aborted = true;
  if (Aborted) {
    DebugTrace("BlockingHook Aborted");
    SetLastSocketError(wsa::Interrupted);
    return true;
  }
  if (TimedOut()) {
    DebugTrace("BlockingHook Aborted due to TimeOut");
    SetLastSocketError(wsa::TimedOut);
    return true;
  }
  return false;
}

bool TFTPThread::WaitFor(int fd, short events) {
  for (;;) {
    int timeoutMs = 1000;
    if (TimerStart != 0) {
      std::uint32_t elapsed = TickCount() - TimerStart;
      std::uint32_t limit = WaitLimitNow();
      timeoutMs = elapsed > limit ? 0 : static_cast<int>(std::min<std::uint32_t>(limit - elapsed + 1, 1000));
    }
    if (HeldTimeLeft() == 0) PostHeld();
    if (!Held.empty()) timeoutMs = std::min(timeoutMs, HeldTimeLeft());
    pollfd fds[2] = {{fd, events, 0}, {WakeFd, POLLIN, 0}};
    int n = ::poll(fds, 2, timeoutMs);
    if (n < 0 && errno != EINTR) {
      SetLastSocketError(SocketErrorFromErrno(errno));
      return false;
    }
    if (n > 0 && (fds[1].revents & POLLIN)) {
      eventfd_t drained;
      (void)::eventfd_read(WakeFd, &drained);
    }
    if (BlockingHook()) return false;
    if (n > 0 && fds[0].revents != 0) return true;
  }
}

void TFTPThread::CloseSocket(TSocket& socket, bool drain) {
  if (!socket.Valid()) return;
  int fd = socket.Fd();
  if (socket.Tls) EndTls(socket, drain);
  if (drain && (::shutdown(fd, SHUT_WR) == 0 || errno != ENOTCONN)) {
    char discard[512];
    std::size_t drained = 0;
    pollfd p{fd, POLLIN, 0};
    ssize_t n = 0;
    while (drained < MaxDrain && ::poll(&p, 1, 0) > 0 && (p.revents & POLLIN) &&
           (n = ::recv(fd, discard, sizeof discard, 0)) > 0)
      drained += static_cast<std::size_t>(n);
  }
  socket.Reset();
}

void TFTPThread::ReportSocketError() {
  int e = LastSocketError();
  if (e == 0 || e == wsa::NotSocket) return;
  if (e == wsa::Interrupted && Aborted) {  // a wait the user ended: that is the abort itself
    AbortPending = false;
    NotifyAbort();
    return;
  }
  NotifyError(e, SocketErrorText(e));
  ErrorReported = true;
}

void TFTPThread::FailureCheck(TSocket& socket) {
  ReportSocketError();
  CloseSocket(socket);
}

bool TFTPThread::OpenSocket(TSocket& socket, TAddress address, int port, bool report) {
  Trace("Opening Socket to %s", EndpointText(address, port));
  int fd = ::socket(address.Family(), SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
  if (fd < 0) {
    SetLastSocketError(SocketErrorFromErrno(errno));
    if (report) FailureCheck(socket);
    return false;
  }
  socket.Reset(fd);
  int one = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  address.SetPort(port);
  TimerStart = TickCount();
  bool ok = ::connect(fd, address.Data(), address.Length()) == 0;
  if (!ok && errno == EINPROGRESS && WaitFor(fd, POLLOUT)) {
    int error = 0;
    socklen_t len = sizeof error;
    ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &len);
    ok = error == 0;
    if (!ok) SetLastSocketError(SocketErrorFromErrno(error));
  } else if (!ok && errno != EINPROGRESS) {
    SetLastSocketError(SocketErrorFromErrno(errno));
  }
  TimerStart = 0;
  if (!ok && report) FailureCheck(socket);
  if (!ok) CloseSocket(socket, false);
  return ok;
}

// The host as written ("name", "10.0.0.5", "[2001:db8::1]:2121"); each of its addresses is
// tried in the resolver's order until one answers, within the same attempt.
bool TFTPThread::Connect(const std::string& host, const std::string& portText) {
  Aborted = false;
  CloseSocket(ControlSocket);
  RepliesNeeded = 0;  // a new connection owes nothing
  ReceiveBuffer.Clear();
  ServerAddress = {};
  Features = {};
  Names.Setup("", "", true);
  int port = PortNumber(portText, 21);
  const std::string name = SplitHostPort(host, port);
  std::vector<TAddress> addresses;
  if (TAddress literal = ParseAddress(name); literal.Valid()) {
    addresses.push_back(literal);
  } else if (int error = LookUp(name, addresses); error != 0) {
    SetLastSocketError(error);
    ReportSocketError();
    return false;
  }
  for (std::size_t i = 0; i < addresses.size(); ++i) {
    const bool last = i + 1 == addresses.size();
    if (OpenSocket(ControlSocket, addresses[i], port, last)) {
      ServerAddress = addresses[i];
      return true;
    }
    if (Aborted) return false;
    if (!last)
      NotifyLog(Format("Could not connect to %s (%s); trying the next address", EndpointText(addresses[i], port),
                       SocketErrorText(LastSocketError())),
                InfoColor);
  }
  return false;
}

}  // namespace ferrowin

namespace ferrowin {

// The lookup runs on a thread of its own and is awaited like any socket, so an abort or the
// time-out ends the wait (the lookup itself is left to finish).
int TFTPThread::LookUp(const std::string& host, std::vector<TAddress>& addresses) {
  THostLookup lookup(host);
  TimerStart = TickCount();
  const bool answered = WaitFor(lookup.WaitFd(), POLLIN);
  TimerStart = 0;
  return answered ? lookup.Result(addresses) : LastSocketError();
}

}  // namespace ferrowin
