// The data connection: passive and active set-up, moving the bytes with progress, and the
// bookkeeping around one transfer (restart, the closing reply, the throughput line).

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <memory>
#include <vector>

#include "FTPCompThread.h"

namespace ferrowin {
namespace {

constexpr std::uint32_t ProgressInterval = 700;  // ms between progress reports

// The six numbers of a passive reply, read from `start`: digits accumulate, a comma starts
// the next number, anything else ends the scan.
std::vector<int> PassiveNumbers(const std::string& reply, std::size_t start) {
  std::vector<int> numbers;
  int current = 0;
  for (std::size_t i = start;; ++i) {
    if (i < reply.size() && std::isdigit(static_cast<unsigned char>(reply[i]))) {
      current = std::min(current * 10 + (reply[i] - '0'), 100000);
      continue;
    }
    numbers.push_back(current);
    current = 0;
    if (i >= reply.size() || reply[i] != ',' || numbers.size() == 6) break;
  }
  return numbers;
}

}  // namespace

namespace {

// The port of an EPSV reply: "229 Entering Extended Passive Mode (|||6446|)", where any
// printable character may stand for "|"; 0 when the reply has none.
int ExtendedPassivePort(const std::string& reply) {
  const std::size_t open = reply.find('(');
  if (open == std::string::npos || open + 1 >= reply.size()) return 0;
  const char d = reply[open + 1];
  const std::size_t third = open + 3;
  if (third >= reply.size() || reply[open + 2] != d || reply[third] != d) return 0;
  const std::size_t close = reply.find(d, third + 1);
  if (close == std::string::npos) return 0;
  return PortNumber(reply.substr(third + 1, close - third - 1), 0);
}

}  // namespace

// EPSV names only a port: the data connection goes to the control connection's address,
// which also works through address translation and on IPv6, where PASV cannot.
TFTPThread::TSetup TFTPThread::ExtendedPassiveSetup() {
  SetLastSocketError(0);
  if (Command("EPSV") != 2) {
    if (LastCode >= 500 && LastCode <= 502) return TSetup::Refused;
    FailureCheck(DataSocket);
    return TSetup::Failed;
  }
  const int port = ExtendedPassivePort(LastReply);
  if (port == 0) {
    NotifyLog("Illegal response from server", ErrorColor);
    return TSetup::Failed;
  }
  return OpenSocket(DataSocket, ServerAddress, port) ? TSetup::Done : TSetup::Failed;
}

bool TFTPThread::PassiveSetup() {
  if (!Features.EpsvRefused && (Features.Has("epsv") || ServerAddress.IsIPv6())) {
    const TSetup setup = ExtendedPassiveSetup();
    if (setup != TSetup::Refused) {
      if (setup == TSetup::Failed) CloseSocket(DataSocket);
      return setup == TSetup::Done;
    }
    Features.EpsvRefused = true;
    NotifyLog("Server does not support extended passive (EPSV) mode, using PASV instead...", InfoColor);
  }
  bool ok = false;
  SetLastSocketError(0);
  if (Command("PASV") != 2) {
    FailureCheck(DataSocket);
  } else {
    std::size_t start = std::string::npos;
    if (ServerAddress.Family() == AF_INET) {
      std::string dotted = AddressText(ServerAddress);
      std::replace(dotted.begin(), dotted.end(), '.', ',');
      start = LastReply.find(dotted);
    }
    if (start == std::string::npos) {
      std::size_t paren = LastReply.find(" (");
      if (paren != std::string::npos) start = paren + 2;
    }
    std::vector<int> n = start == std::string::npos ? std::vector<int>{} : PassiveNumbers(LastReply, start);
    bool valid = n.size() == 6 && std::all_of(n.begin(), n.end(), [](int v) { return v <= 255; });
    if (!valid) {
      NotifyLog("Illegal response from server", ErrorColor);
    } else {
      TAddress address = ParseAddress(Format("%d.%d.%d.%d", n[0], n[1], n[2], n[3]));
      // A server may only send us back to itself, never on to a third host.
      if (ServerAddress.Valid() && !address.SameHost(ServerAddress)) {
        NotifyLog(Format("Server gave the passive address %s; connecting to the server's own address %s instead",
                         AddressText(address), AddressText(ServerAddress)),
                  InfoColor);
        address = ServerAddress;
      }
      ok = OpenSocket(DataSocket, address, (n[4] * 256 + n[5]) & 0xFFFF);
    }
  }
  CollectReplies = false;
  if (!ok) CloseSocket(DataSocket);
  return ok;
}

// Listens on the control connection's local address; PORT tells an IPv4 server where,
// EPRT an IPv6 one.
bool TFTPThread::ActiveSetup() {
  auto fail = [this] {
    SetLastSocketError(SocketErrorFromErrno(errno));
    FailureCheck(DataSocket);
    return false;
  };
  sockaddr_storage storage{};
  socklen_t len = sizeof storage;
  if (::getsockname(ControlSocket.Fd(), reinterpret_cast<sockaddr*>(&storage), &len) != 0) return fail();
  TAddress local = TAddress::From(reinterpret_cast<sockaddr*>(&storage), len);
  int fd = ::socket(local.Family(), SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
  if (fd < 0) return fail();
  DataSocket.Reset(fd);
  local.SetPort(0);
  if (::bind(fd, local.Data(), local.Length()) != 0) return fail();
  len = sizeof storage;
  if (::getsockname(fd, reinterpret_cast<sockaddr*>(&storage), &len) != 0) return fail();
  const int port = TAddress::From(reinterpret_cast<sockaddr*>(&storage), len).Port();
  if (::listen(fd, 1) != 0) return fail();
  SetLastSocketError(0);
  std::string command;
  if (local.IsIPv6()) {
    command = Format("EPRT |2|%s|%d|", AddressText(local), port);
  } else {
    const auto* a = reinterpret_cast<const unsigned char*>(&reinterpret_cast<const sockaddr_in*>(local.Data())->sin_addr);
    command = Format("PORT %d,%d,%d,%d,%d,%d", a[0], a[1], a[2], a[3], port / 256, port % 256);
  }
  if (Command(command) != 2) {
    FailureCheck(DataSocket);
    return false;
  }
  return true;
}

bool TFTPThread::Accept() {
  TimerStart = TickCount();
  for (;;) {
    if (!WaitFor(DataSocket.Fd(), POLLIN)) break;
    sockaddr_storage peer{};
    socklen_t len = sizeof peer;
    int fd = ::accept4(DataSocket.Fd(), reinterpret_cast<sockaddr*>(&peer), &len, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
      if (errno == EAGAIN || errno == EINTR || errno == ECONNABORTED) continue;
      SetLastSocketError(SocketErrorFromErrno(errno));
      break;
    }
    const TAddress from = TAddress::From(reinterpret_cast<sockaddr*>(&peer), len);
    if (ServerAddress.Valid() && !from.SameHost(ServerAddress)) {
      NotifyLog(Format("Refused a data connection from %s: not the server's address", AddressText(from)), ErrorColor);
      ::close(fd);
      continue;
    }
    TimerStart = 0;
    CloseSocket(DataSocket);
    DataSocket.Reset(fd);
    return true;
  }
  TimerStart = 0;
  FailureCheck(DataSocket);
  return false;
}

std::int64_t TFTPThread::TransferSocketData(TSocket& socket, TTransferStream& stream, bool receive) {
  std::int64_t total = stream.Position();
  Trace("TransferSocketData. StreamPos = %d, Receive = %d", total, receive ? 1 : 0);
  NotifyProgress(TProgressKind::Start, total);
  struct TEnd {  // always: no timed wait, the socket closed, the end reported
    TFTPThread& T;
    TSocket& S;
    std::int64_t& Total;
    bool Completed = false;  // a broken or aborted transfer is not read any further
    ~TEnd() {
      T.TimerStart = 0;
      T.CloseSocket(S, Completed);
      T.NotifyProgress(TProgressKind::End, Total);
    }
  } end{*this, socket, total};

  TimerStart = TickCount();
  std::uint32_t last = TimerStart;
  auto progress = [&] {
    std::uint32_t now = TickCount();
    if (now - last < ProgressInterval) return;
    TimerStart = now;
    last = now;
    NotifyProgress(TProgressKind::Progress, total);
  };
  auto wait = [&](short events) {
    if (Aborted || !WaitSocket(socket, events)) {
      Trace("Select Failed. Aborted = %d, TimedOut = %d", Aborted ? 1 : 0, TimedOut() ? 1 : 0);
      DoErrorAborted();
    }
  };
  // Not zeroed: a small file would otherwise pay for clearing the whole chunk.
  const auto buffer = std::make_unique_for_overwrite<char[]>(DataChunk);
  if (receive) {
    while (!stream.Finished()) {
      if (Aborted) wait(POLLIN);
      ssize_t n = SocketRecv(socket, buffer.get(), DataChunk);
      if (n > 0) {
        stream.Write(buffer.get(), static_cast<std::size_t>(n));
        total = stream.Position();  // what the local side holds (text mode changes the count)
        progress();
      } else if (n == 0 || errno == ECONNRESET) {
        break;
      } else if (errno == EAGAIN || errno == EINTR) {
        wait(POLLIN);
      } else {
        SetLastSocketError(SocketErrorFromErrno(errno));
        DoErrorAborted();
      }
    }
    stream.Finish();
    total = stream.Position();
    end.Completed = true;
    return total;
  }
  for (;;) {
    const std::int64_t before = stream.Position();
    std::size_t count = stream.Read(buffer.get(), DataChunk);
    if (count == 0) break;
    std::size_t sent = 0;
    while (sent < count) {
      if (Aborted) wait(POLLOUT);
      ssize_t n = SocketSend(socket, buffer.get() + sent, count - sent);
      if (n > 0) {
        sent += static_cast<std::size_t>(n);
        // Local bytes sent: in text mode the wire carries more than the file holds.
        total = std::min(before + static_cast<std::int64_t>(sent), stream.Position());
        progress();
      } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
        wait(POLLOUT);
      } else if (n < 0) {
        SetLastSocketError(SocketErrorFromErrno(errno));
        DoErrorAborted();
      }
    }
  }
  end.Completed = true;
  return total;
}

namespace {

// The byte count at `at` in a preliminary reply: a number, one separating character, then
// the word "bytes" in any case ("1234 bytes"); -1 when there is none.
std::int64_t BytesAt(const std::string& reply, std::size_t at) {
  std::size_t digits = at;
  while (digits < reply.size() && std::isdigit(static_cast<unsigned char>(reply[digits]))) ++digits;
  if (digits == at || digits - at > 18 || digits >= reply.size()) return -1;
  std::string rest = LowerCase(reply.substr(digits + 1));
  rest.erase(0, rest.find_first_not_of(" \t"));
  if (rest.compare(0, 5, "bytes") != 0) return -1;
  return std::stoll(reply.substr(at, digits - at));
}

// The "(1234 bytes)" of a preliminary reply, whatever name stands before it; -1 when none.
std::int64_t AnnouncedBytes(const std::string& reply) {
  for (std::size_t p = reply.find('('); p != std::string::npos; p = reply.find('(', p + 1))
    if (std::int64_t n = BytesAt(reply, p + 1); n >= 0) return n;
  return -1;
}

}  // namespace

// What a download's preliminary reply says of its size. The size notification needs the
// local file's name before the number ("... name (1234 bytes)"); the check for a short file
// takes any announced size, except in text mode, where conversion changes the length.
void TFTPThread::SizeFromPreliminaryReply() {
  AnnouncedSize = AsciiType ? -1 : AnnouncedBytes(LastReply);
  const std::string name = LowerCase(DownloadFileName.substr(DownloadFileName.find_last_of('/') + 1));
  const std::size_t at = LowerCase(LastReply).find(name + " (");
  if (name.empty() || at == std::string::npos) return;
  if (std::int64_t size = BytesAt(LastReply, at + name.size() + 2); size >= 0) NotifyUpdateFileSize(DownloadFileName, size);
}

// A transfer that broke: its data connection is closed at once (a server still sending is not
// read to its end), then the server's word on it is read within the short wait. After an
// abort nothing is awaited, so the command ends now; the next command reads that reply.
void TFTPThread::EndBrokenTransfer() {
  TimerStart = 0;
  CloseSocket(DataSocket, false);
  if (Aborted) return;
  const int error = LastSocketError();
  SettleOwedReplies();
  SetLastSocketError(error);
}

bool TFTPThread::TransferData(const std::string& command, bool receive, std::int64_t restart, TTransferStream& stream) {
  CloseSocket(DataSocket);
  AnnouncedSize = -1;
  ErrorReported = false;
  if (!RenewTlsSession()) return false;
  bool passive = Shared->Passive;  // once: a preference applied meanwhile waits for the next transfer
  bool ok;
  if (passive) {
    ok = PassiveSetup();
    if (!ok && LastCode >= 500 && LastCode <= 502) {
      NotifyLog("Server does not support passive (PASV) mode, using active mode instead...", InfoColor);
      Shared->Passive = passive = false;
      ok = ActiveSetup();
    }
  } else {
    ok = ActiveSetup();
  }
  if (ok) {
    try {
      if (restart > 0) {
        std::int64_t offset = receive ? stream.Size() : restart;
        if (!receive) stream.Restart(restart);
        if (offset > 0 && Command(Format("REST %d", offset)) != 3) {
          NotifyLog("Server unable to resume broken downloads", InfoColor);
          stream.Restart(0);
        }
      }
      SendCommand(command);
      stream.Asked();
      ok = GetReply() == 1;
      if (ok && !DownloadFileName.empty()) SizeFromPreliminaryReply();
      if (ok && !passive) ok = Accept();
      if (ok) ok = SecureDataConnection();
      if (ok) {
        stream.Begin();  // accepted and connected: only now may the local file change
        Trace("Before TransferSocketData");
        const auto started = std::chrono::steady_clock::now();
        const std::int64_t bytes = TransferSocketData(DataSocket, stream, receive);
        // Not in whole milliseconds: a small file on a fast line would show a rate of 0.
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        ok = GetReply() == 2;
        const double rate = seconds > 0 ? bytes / 1024.0 / seconds : 0;
        NotifyLog(Format("Transferred %.0n bytes in %f seconds (%fKB/s)", bytes, seconds, rate), InfoColor);
        // A server that announced the size and closed early has not sent the whole file.
        if (ok && receive && AnnouncedSize >= 0 && bytes < AnnouncedSize) {
          NotifyLog(Format("Received %.0n of %.0n bytes announced", bytes, AnnouncedSize), ErrorColor);
          ok = false;
        }
      }
    } catch (const ESocketException&) {
      Trace("TransferData.ESocketException");
      ok = false;
    } catch (const EStreamError& e) {
      Trace("TransferData.EStreamException");
      NotifyLog(e.what(), ErrorColor);
      ok = false;
    }
    if (!ok) EndBrokenTransfer();
    CloseSocket(DataSocket);
  }
  if (!ok && !Aborted) {
    if (!ErrorReported) ReportSocketError();
    NotifyLog("Unable to complete transfer", InfoColor);
  }
  return ok;
}

}  // namespace ferrowin
