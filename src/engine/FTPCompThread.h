#pragma once
// TFTPThread: the worker of one connection. It owns the connection's sockets and runs the
// queued commands one after another; it reports back only by posting notifications.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "FTPCompCommands.h"
#include "FTPCompErrors.h"
#include "FTPCompEvents.h"
#include "FTPCompFeatures.h"
#include "Format.h"
#include "FTPUtils.h"
#include "NameCodec.h"
#include "Parsers.h"
#include "ReplyReader.h"
#include "SocketAddress.h"
#include "TlsSession.h"
#include "TransferStream.h"

namespace ferrowin {

class TFTPThread;
class TMessageWindow;
enum class TTrustAnswer;

// What a component shares with its worker. It outlives both, so a worker finishing a
// command never touches a component that has been destroyed.
struct TConnectionShared {
  explicit TConnectionShared(bool hasOwner) : HasOwner(hasOwner) {}

  std::mutex Lock;                     // guards Host, Window and Thread
  std::string Host;
  TMessageWindow* Window = nullptr;    // null once the component is gone
  std::shared_ptr<TFTPThread> Thread;  // the component's reference; the worker clears it
  std::atomic<std::uint32_t> Handlers{0};  // bit n: the handler of code 1044 + n is assigned
  std::atomic<bool> Passive{true};
  std::atomic<bool> CanResume{false};
  std::atomic<int> ServerType{0};
  std::string FeatReply;     // guarded by Lock: the last FEAT reply ("" when refused)
  std::string CharacterSet;  // guarded by Lock: the site's choice for names ("" = Auto)
  const bool HasOwner;  // a browsing connection (of a view); transfer connections have none
};

// A socket handle that closes itself; -1 when closed. Other threads may ask whether it is open.
class TSocket {
 public:
  TSocket() = default;
  TSocket(const TSocket&) = delete;
  TSocket& operator=(const TSocket&) = delete;
  ~TSocket() { Reset(); }
  [[nodiscard]] int Fd() const { return Handle.load(); }
  [[nodiscard]] bool Valid() const { return Handle.load() >= 0; }
  void Reset(int fd = -1);
  // Hands the handle over to another TSocket.
  int Release() { return Handle.exchange(-1); }

  std::unique_ptr<TTlsStream> Tls;  // set while the connection is encrypted; ends with the handle

 private:
  std::atomic<int> Handle{-1};
};

// A decimal number without sign (at most nine digits), or fallback when the text is not one.
int NumberOr(const std::string& text, int fallback);
// A port number; fallback when the text is not one.
int PortNumber(const std::string& text, int fallback);

// Milliseconds as a 32-bit tick count that wraps, as the time-out rule computes with it.
std::uint32_t TickCount();

class TFTPThread : public std::enable_shared_from_this<TFTPThread> {
 public:
  explicit TFTPThread(std::shared_ptr<TConnectionShared> shared);
  ~TFTPThread();
  TFTPThread(const TFTPThread&) = delete;
  TFTPThread& operator=(const TFTPThread&) = delete;

  // Starts the thread; it ends by itself after Terminate().
  void Start();

  // Called from the user-interface thread.
  TCommandQueue Queue;
  void Abort();  // cancels the blocking call in progress
  void Terminate();
  [[nodiscard]] bool Busy() const { return Executing.load(); }
  [[nodiscard]] bool ControlOpen() const { return ControlSocket.Valid(); }

  // Workers alive in this process; a wait for all of them to end (program exit, tests).
  static int LiveWorkers();
  static bool WaitForWorkers(std::chrono::milliseconds timeout);
  // Program exit: aborts and ends every worker, then waits for them.
  static bool StopWorkers(std::chrono::milliseconds timeout);

 private:
  friend class TFTPThreadTestAccess;

  // Thread body and dispatcher.
  void Execute();
  void DoCommand();
  bool RunCommand(TCommandItem& item);
  void CommandFailed(TCommandKind kind, const std::string& what);
  bool LoginWithAttempts(const TCommandItem& item);
  bool PrepareConnection(TCommandKind kind);
  bool LogInAgain();
  void RetryPause();

  // Login dialogues and what follows a login.
  void LoginDialogue(const std::string& user, const std::string& password, const std::string& account);
  void FirewallDialogue(const TCommandItem& item);
  void SendPassword(const std::string& password);
  int LoginReply(const char* failure);
  [[nodiscard]] std::string ReplyText() const;
  void AfterLogin();
  void AskFeatures();
  void DetectFromWelcome(const std::vector<std::string>& lines);
  void DetectServerType();
  void ProbeResume();

  // Commands on the control connection only.
  bool FolderCommand(const std::string& command, TFolderReplyType type);
  bool DoLogout();
  bool DoDelete(const TCommandItem& item);
  bool DoRename(const TCommandItem& item);
  bool DoNoOp();
  bool DoSetType(const TCommandItem& item);
  bool DoChangeAttributes(const TCommandItem& item);

  // Data connections and transfers.
  enum class TSetup { Done, Failed, Refused };
  bool PassiveSetup();
  TSetup ExtendedPassiveSetup();
  bool ActiveSetup();
  bool Accept();
  bool TransferData(const std::string& command, bool receive, std::int64_t restart, TTransferStream& stream);
  std::int64_t TransferSocketData(TSocket& socket, TTransferStream& stream, bool receive);
  void EndBrokenTransfer();
  void SizeFromPreliminaryReply();
  bool DoList(const TCommandItem& item);
  bool DoTransfer(TCommandItem& item, bool download);
  bool TransferFile(const std::string& verb, const std::string& localPath, const std::string& folder,
                    std::int64_t restart, bool receive, TFileMode mode, std::string remotePath);
  bool ParseListing(const std::string& folder, const std::string& buffer, TListingParserKind kind);
  [[nodiscard]] bool UseMachineListing() const;
  bool DoGetHTTP(const TCommandItem& item);
  std::string ReadHTTPHeader(std::string& body);

  // TLS on the control and data connections (FTPCompTls.cpp).
  void UseTls(const TCommandItem& item);
  void StartImplicitTls();
  void SecureControlConnection();
  bool SecureDataConnection();
  void SecureSocket(TSocket& socket, bool control);
  [[noreturn]] void TlsFailed(bool control, const std::string& what);
  void CheckCertificate(const TTlsStream& stream);
  void TrustCertificate(TCertificateInfo info);
  TTrustAnswer AskTrust(const TCertificateInfo& info);
  ssize_t SocketRecv(TSocket& socket, char* buffer, std::size_t size);
  ssize_t SocketSend(TSocket& socket, const char* buffer, std::size_t size);
  ssize_t TlsOutcome(const TTlsStream& stream, ssize_t n);
  bool WaitSocket(TSocket& socket, short events);
  void EndTls(TSocket& socket, bool orderly);
  bool RenewTlsSession();

  // Socket primitives (blocking waits that an abort or the time-out cancel).
  bool WaitFor(int fd, short events);
  bool BlockingHook();
  [[nodiscard]] bool TimedOut() const;
  [[nodiscard]] std::uint32_t WaitLimitNow() const;
  // Closes a socket; `drain` first reads off a little of what the peer still sends, so that
  // it sees an orderly end.
  void CloseSocket(TSocket& socket, bool drain = true);
  void FailureCheck(TSocket& socket);
  // report: a failure becomes an error notification (not for an address that has a next one).
  bool OpenSocket(TSocket& socket, TAddress address, int port, bool report = true);
  bool Connect(const std::string& host, const std::string& portText);
  int LookUp(const std::string& host, std::vector<TAddress>& addresses);

  // Control connection.
  void SendCommand(const std::string& text);
  void FlushControlSocket();
  bool ReadOwedReplies();
  void SettleOwedReplies();
  int GetReply(bool wait = true);
  int Command(const std::string& text) {
    SendCommand(text);
    return GetReply();
  }
  void ReceiveControl();
  [[noreturn]] void ReplyTooLong();
  [[noreturn]] void DoErrorControl();
  [[noreturn]] void DoErrorAborted();
  void ReportSocketError();

  // Notifications: a trace line, then a post when the component has a handler for it.
  [[nodiscard]] std::string HostName();
  [[nodiscard]] bool Assigned(TNotification code) const;
  // canWait: the record may be held a moment (see Held).
  void Post(TNotification code, std::unique_ptr<TEventRecord> record, bool canWait = false);
  void PostHeld();
  [[nodiscard]] int HeldTimeLeft() const;  // ms until held notifications must go; -1: none held
  template <typename... Args>
  void Trace(std::string_view format, const Args&... args) {
    if (DebugTraceOn()) DebugTrace(Format("Host %s: ", HostName()) + Format(format, args...));
  }
  void NotifyAbort();
  void NotifyCantLogIn(const std::string& reply = {}, bool refused = false);
  void NotifyCommandCompleted(TCommandKind kind, bool success, bool aborted);
  void NotifyConnect();
  void NotifyDeleteSuccessful(const std::string& fileName);
  void NotifyDisconnect();
  void NotifyError(int code, const std::string& desc);
  void NotifyFolderReply(const std::string& folder, TFolderReplyType type, bool result);
  void NotifyLog(const std::string& message, TColor color);
  void NotifyLoggedIn();
  void NotifyRenameSuccessful(const std::string& oldName, const std::string& newName);
  void NotifyProgress(TProgressKind kind, std::int64_t bytes);
  void NotifyProcessList(const std::string& folder, std::unique_ptr<TListingEntries> entries);
  void NotifyUpdateFileSize(const std::string& fileName, std::int64_t size);

  std::shared_ptr<TConnectionShared> Shared;
  std::unique_ptr<TCommandItem> Current;
  std::atomic<bool> Executing{false};
  std::atomic<bool> Terminated{false};
  TSocket ControlSocket;
  TSocket DataSocket;
  TAddress ServerAddress;  // the control connection's peer; none while closed
  TReplyBuffer ReceiveBuffer;
  int RepliesNeeded = 0;
  std::string DownloadFileName;
  bool ProgressIsFile = true;
  int LastCode = 0;
  std::string LastReply;
  bool CollectReplies = false;  // while set, every reply line read goes to ReplyLines
  std::vector<std::string> ReplyLines;
  bool Quiet = false;
  std::atomic<bool> Aborted{false};
  // Set with Aborted by an abort request and taken by the next blocking wait, so a request
  // that arrives just before a wait (which clears Aborted) is not lost.
  std::atomic<bool> AbortPending{false};
  std::uint32_t TimerStart = 0;
  std::uint32_t WaitLimit = 0;  // ms a timed wait may last; 0: the TimeOut setting
  bool ErrorReported = false;   // the failure of this transfer has been reported already
  // The last login that succeeded, to log in again after the connection was dropped because
  // the server fell out of step; Reconnect is set by such a drop.
  std::unique_ptr<TCommandItem> LastLogin;
  bool Reconnect = false;
  std::string CurrentFolder;
  bool FolderMode = false;
  bool AsciiType = false;  // the server took "TYPE A": file transfers convert line ends
  char TypeLetter = 0;     // the TYPE this connection last took; 0: not known yet
  std::int64_t AnnouncedSize = -1;  // size the preliminary reply gave for this download
  int WakeFd = -1;  // eventfd: an abort request wakes a waiting call
  // TLS of the current login: how, for which host and port, and whether data is protected.
  TEncryption Encryption = TEncryption::Plain;
  bool VerifyTls = true;
  std::string TlsHost;
  int TlsPort = 0;
  bool ProtectData = false;
  bool TlsSessionSpoiled = false;  // a data connection broke: the server has dropped the session
  std::string ServerFingerprint;  // of the control connection's certificate
  std::unique_ptr<TTlsContext> TlsContext;
  std::string LastHost;  // for traces after the component is gone
  // Log lines and progress within a file wait up to HoldMs and go with the next other
  // notification: the window's thread wakes once or twice per small file, not a dozen times.
  static constexpr std::uint32_t HoldMs = 25;
  std::vector<std::pair<TNotification, std::unique_ptr<TEventRecord>>> Held;
  std::uint32_t HeldSince = 0;
  TServerFeatures Features;  // of this connection, from FEAT after login
  TNameCodec Names;          // names between the wire and the program
};

}  // namespace ferrowin
