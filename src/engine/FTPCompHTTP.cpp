// Fetching one file over plain HTTP on the control socket ("Get HTTP"): the program uses it
// for pages and downloads that are not on an FTP server.

#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>

#include "FTPCompThread.h"
#include "HTTPBody.h"

namespace ferrowin {
namespace {

constexpr std::size_t MaxHTTPHeader = 64 * 1024;
constexpr int MaxInterimResponses = 10;

// Where the header ends: after an LF followed by LF, or by CR and one more character.
std::size_t HeaderLength(const std::string& buffer) {
  for (std::size_t i = buffer.find('\n'); i != std::string::npos && i + 1 < buffer.size(); i = buffer.find('\n', i + 1)) {
    if (buffer[i + 1] == '\n') return i + 2;
    if (buffer[i + 1] == '\r' && i + 2 < buffer.size()) return i + 3;
  }
  return 0;
}

// The body as the header describes it, written to the local file.
class THTTPBodyStream final : public TTransferStream {
 public:
  THTTPBodyStream(TFileStream& file, THTTPBody::TMode mode, std::int64_t length)
      : File(file), Body(mode, length, [this](const char* d, std::size_t n) { File.Write(d, n); }) {}
  std::size_t Read(char*, std::size_t) override { return 0; }
  void Write(const char* data, std::size_t count) override {
    if (!Body.Feed(data, count)) throw EStreamError("The server sent a malformed chunked body");
  }
  [[nodiscard]] std::int64_t Position() const override { return Body.Delivered(); }
  [[nodiscard]] std::int64_t Size() const override { return File.Size(); }
  void Restart(std::int64_t) override {}
  [[nodiscard]] bool IsFile() const override { return true; }
  [[nodiscard]] bool Finished() const override { return Body.Done(); }

 private:
  TFileStream& File;

 public:
  THTTPBody Body;
};

}  // namespace

std::string TFTPThread::ReadHTTPHeader(std::string& buffer) {
  Trace("TransferSocketLines");
  char chunk[ReceiveChunk];
  for (;;) {
    if (std::size_t length = HeaderLength(buffer)) {
      std::string header = buffer.substr(0, length);
      buffer.erase(0, length);
      return header;
    }
    if (buffer.size() > MaxHTTPHeader) {
      NotifyLog("HTTP header longer than 65536 bytes", ErrorColor);
      SetLastSocketError(wsa::MessageTooLong);
      DoErrorControl();
    }
    Aborted = false;
    TimerStart = TickCount();
    if (!WaitFor(ControlSocket.Fd(), POLLIN)) DoErrorControl();
    ssize_t n = ::recv(ControlSocket.Fd(), chunk, sizeof chunk, 0);
    if (n > 0) {
      buffer.append(chunk, static_cast<std::size_t>(n));
    } else if (n == 0 || errno == ECONNRESET) {
      CloseSocket(ControlSocket);
      Trace("Host closed Control Connection");
      DoErrorControl();
    } else if (errno != EAGAIN && errno != EINTR) {
      SetLastSocketError(SocketErrorFromErrno(errno));
      DoErrorControl();
    }
  }
}

bool TFTPThread::DoGetHTTP(const TCommandItem& item) {
  TURLParts url;
  if (!ParseURL(item.Param(0), "", url)) return false;
  const std::string& localPath = item.Param(1);
  if (!Connect(url.Host, std::to_string(url.Port))) {
    FailureCheck(ControlSocket);
    NotifyDisconnect();
    NotifyCantLogIn();
    return false;
  }
  NotifyConnect();
  struct TDisconnect {  // the connection ends with the command, also when it fails
    TFTPThread& T;
    ~TDisconnect() {
      T.RepliesNeeded = 0;
      T.NotifyDisconnect();
    }
  } disconnect{*this};

  // The request line must not carry blanks or raw bytes: the split URL is decoded.
  SendCommand(Format("GET %s HTTP/1.1\r\n", EscapeURLText(url.Folder + url.FileName)) + Format("Host: %s\r\n", url.Host) +
              Format("User-Agent: %s/%s\r\n", "Ferrowin", "1.10") + "Connection: close\r\n");
  std::string received;
  std::string header;
  for (int interim = 0;; ++interim) {
    header = ReadHTTPHeader(received);
    int status = ParseHTTPHeader(header).Status;
    if (status < 100 || status >= 200) break;
    if (interim == MaxInterimResponses) {
      NotifyLog("Too many interim responses from the server", ErrorColor);
      return false;
    }
  }
  const THTTPHeader parsed = ParseHTTPHeader(header);
  LastCode = parsed.Status;
  std::size_t start = 0;
  std::string firstLine;
  while (start < header.size()) {
    std::size_t end = header.find('\n', start);
    std::string line = header.substr(start, end - start);
    start = end == std::string::npos ? header.size() : end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (firstLine.empty()) firstLine = line;
    NotifyLog(line, LastCode < 400 ? ReplyColor : ErrorColor);
  }
  if (parsed.HasContentLength) NotifyUpdateFileSize(localPath, std::max<std::int64_t>(parsed.ContentLength, 0));
  if (LastCode > 399) NotifyError(LastCode, firstLine.size() > 13 ? firstLine.substr(13) : "");
  if (LastCode / 100 != 2) return true;

  TFileStream file(localPath, TFileMode::Create);
  file.Begin();
  auto mode = parsed.Chunked ? THTTPBody::TMode::Chunked
              : parsed.ContentLength >= 0 ? THTTPBody::TMode::Length
                                          : THTTPBody::TMode::UntilClose;
  THTTPBodyStream body(file, mode, parsed.ContentLength);
  body.Write(received.data(), received.size());
  if (!body.Finished()) TransferSocketData(ControlSocket, body, true);
  if (!body.Body.CompleteAtClose()) {
    NotifyLog(Format("The connection closed before the whole file arrived (%.0n bytes received)",
                     body.Body.Delivered()),
              ErrorColor);
    return false;
  }
  return true;
}

}  // namespace ferrowin
