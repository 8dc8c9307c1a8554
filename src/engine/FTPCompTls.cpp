// FTP over TLS: AUTH TLS (or TLS from the first byte on an implicit port), PBSZ and PROT
// before the user logs in, data connections that take up the control connection's session,
// and the certificate checks. The handshakes and every read and write wait with the worker's
// own poll, so an abort or the time-out ends them as on a plain socket.

#include <poll.h>
#include <sys/socket.h>

#include <cerrno>

#include "FTPCompThread.h"
#include "TlsTrust.h"

namespace ferrowin {
namespace {

constexpr const char* LoginFailure = "Failed to Log in to Host";

}  // namespace

// Through a firewall, TLS protects the connection to the firewall: its host and port are the
// first parameters of both logins, so the certificate is checked against the firewall's name.
void TFTPThread::UseTls(const TCommandItem& item) {
  const std::size_t at = item.Kind == TCommandKind::FirewallLogin ? 10 : 5;
  const int mode = NumberOr(item.Param(at), 0);
  Encryption = mode <= static_cast<int>(TEncryption::Optional) ? static_cast<TEncryption>(mode) : TEncryption::Plain;
  VerifyTls = item.Param(at + 1) != "0";
  TlsHost = item.Param(0);
  TlsPort = PortNumber(item.Param(1), Encryption == TEncryption::Implicit ? ImplicitTlsPort : 21);
  ProtectData = false;
  TlsSessionSpoiled = false;
  ServerFingerprint.clear();
  TlsContext.reset();
}

void TFTPThread::StartImplicitTls() {
  if (Encryption == TEncryption::Implicit) SecureSocket(ControlSocket, true);
}

// After the greeting: AUTH TLS unless the connection is encrypted already, then PBSZ and PROT
// so that listings and files travel encrypted too.
void TFTPThread::SecureControlConnection() {
  if (Encryption == TEncryption::Plain) return;
  if (Encryption != TEncryption::Implicit) {
    if (Command("AUTH TLS") != 2) {
      if (Encryption == TEncryption::Optional) {
        NotifyLog("The server does not offer TLS; continuing without encryption", InfoColor);
        return;
      }
      throw ELoginRefused("The server refused AUTH TLS, and this site requires an encrypted connection", ReplyText());
    }
    // Nothing the server sent in the clear may pass for a reply on the encrypted connection.
    ReceiveBuffer.Clear();
    SecureSocket(ControlSocket, true);
  }
  if (Command("PBSZ 0") == 2 && Command("PROT P") == 2) {
    ProtectData = true;
  } else if (Encryption == TEncryption::Optional) {
    NotifyLog("The server will not encrypt data connections; files and listings travel unencrypted", ErrorColor);
  } else {
    throw ELoginRefused("The server refused to encrypt data connections (PROT P)", ReplyText());
  }
}

// A server drops the TLS session of a data connection that broke (an abort, a time-out), and
// one that requires data connections to resume it then refuses them all. A new control
// connection brings a new session; the folder and type are set again as they were.
bool TFTPThread::RenewTlsSession() {
  if (!TlsSessionSpoiled || !ControlSocket.Tls || !LastLogin) return true;
  TlsSessionSpoiled = false;
  NotifyLog("Logging in again for a new TLS session after the broken data connection", InfoColor);
  return LogInAgain();
}

bool TFTPThread::SecureDataConnection() {
  if (ProtectData && ControlSocket.Tls) SecureSocket(DataSocket, false);
  return true;
}

void TFTPThread::TlsFailed(bool control, const std::string& what) {
  TimerStart = 0;
  if (control) throw ELoginRefused(what, "");
  NotifyLog(what, ErrorColor);
  ErrorReported = true;
  throw EDataSocketException(what, 0);
}

void TFTPThread::SecureSocket(TSocket& socket, bool control) {
  if (!TlsContext) TlsContext = std::make_unique<TTlsContext>();
  socket.Tls = std::make_unique<TTlsStream>(*TlsContext, socket.Fd(), control ? TlsHost : std::string(),
                                            control ? nullptr : ControlSocket.Tls.get());
  TTlsStream& tls = *socket.Tls;
  TimerStart = TickCount();
  for (TTlsStatus status = tls.Handshake(); status != TTlsStatus::Done; status = tls.Handshake()) {
    if (status != TTlsStatus::WantRead && status != TTlsStatus::WantWrite)
      TlsFailed(control, "TLS handshake failed: " + tls.Error());
    if (!WaitFor(socket.Fd(), status == TTlsStatus::WantRead ? POLLIN : POLLOUT)) {
      if (control) DoErrorControl();
      DoErrorAborted();
    }
  }
  TimerStart = 0;
  if (control) return CheckCertificate(tls);
  // A data connection that did not take up the session must at least come from the same server.
  Trace("Data connection TLS: %s, session reused = %d", tls.Description(), tls.Resumed() ? 1 : 0);
  if (!tls.Resumed() && tls.Certificate().Fingerprint != ServerFingerprint)
    TlsFailed(false, "The data connection presented another certificate than the control connection");
}

void TFTPThread::CheckCertificate(const TTlsStream& stream) {
  TCertificateInfo info = stream.Certificate();
  info.Host = TlsHost;
  info.Port = TlsPort;
  ServerFingerprint = info.Fingerprint;
  NotifyLog(Format("TLS connection: %s; certificate: %s", stream.Description(), info.Subject), InfoColor);
  if (!VerifyTls) {
    NotifyLog("The server's certificate is not verified: this connection may be intercepted", ErrorColor);
  } else if (!stream.Verified()) {
    TrustCertificate(std::move(info));
  }
}

void TFTPThread::TrustCertificate(TCertificateInfo info) {
  const TTrustState state = CertificateTrust(info.Host, info.Port, info.Fingerprint);
  if (state == TTrustState::Trusted) {
    NotifyLog("The certificate (" + info.Problem + ") was trusted by the user", InfoColor);
    return;
  }
  info.Changed = state == TTrustState::Changed;
  NotifyLog(info.Changed ? "The server's certificate has changed since it was trusted"
                         : "The server's certificate is not trusted: " + info.Problem,
            ErrorColor);
  const TTrustAnswer answer = AskTrust(info);
  if (answer == TTrustAnswer::Cancel) throw ELoginRefused("Certificate not trusted; login cancelled", "");
  if (!RememberTrust(info.Host, info.Port, info.Fingerprint, answer))
    NotifyLog("Could not write " + TrustedCertificatesFile(), ErrorColor);
}

// The user-interface thread answers; an abort ends the wait as a cancel.
TTrustAnswer TFTPThread::AskTrust(const TCertificateInfo& info) {
  auto question = std::make_shared<TTrustQuestion>();
  {
    auto record = std::make_unique<TCertificateQuestionData>();
    record->Info = info;
    record->Question = question;
    Post(static_cast<TNotification>(CertificateQuestionCode), std::move(record));
  }
  TimerStart = 0;  // the user takes the time it takes
  while (!question->Answered())
    if (!WaitFor(question->WaitFd(), POLLIN)) DoErrorControl();
  return question->Result();
}

ssize_t TFTPThread::TlsOutcome(const TTlsStream& stream, ssize_t n) {
  if (n >= 0) return n;
  if (stream.Status() == TTlsStatus::WantRead || stream.Status() == TTlsStatus::WantWrite) {
    errno = EAGAIN;
  } else {
    NotifyLog("TLS: " + stream.Error(), ErrorColor);
    errno = ECONNABORTED;  // the line above says why; the error is the connection's end
  }
  return -1;
}

ssize_t TFTPThread::SocketRecv(TSocket& socket, char* buffer, std::size_t size) {
  if (!socket.Tls) return ::recv(socket.Fd(), buffer, size, 0);
  return TlsOutcome(*socket.Tls, socket.Tls->Read(buffer, size));
}

ssize_t TFTPThread::SocketSend(TSocket& socket, const char* buffer, std::size_t size) {
  if (!socket.Tls) return ::send(socket.Fd(), buffer, size, MSG_NOSIGNAL);
  return TlsOutcome(*socket.Tls, socket.Tls->Write(buffer, size));
}

// The closing alert tells the server that an upload ended whole. A data connection then waits
// (as any wait: abort and time-out end it) for the server to close first: closing with its
// session tickets still unread would reset the connection and lose what the server has not
// read yet. A broken one costs the session (see RenewTlsSession).
void TFTPThread::EndTls(TSocket& socket, bool orderly) {
  if (!orderly) {
    TlsSessionSpoiled = TlsSessionSpoiled || &socket == &DataSocket;
    return;
  }
  socket.Tls->Shutdown();
  if (&socket != &DataSocket) return;
  const int fd = socket.Fd();
  const int error = LastSocketError();
  ::shutdown(fd, SHUT_WR);
  TimerStart = TickCount();
  char discard[4096];
  while (WaitFor(fd, POLLIN) && ::recv(fd, discard, sizeof discard, 0) > 0) {
  }
  TimerStart = 0;
  SetLastSocketError(error);
}

bool TFTPThread::WaitSocket(TSocket& socket, short events) {
  if (!socket.Tls) return WaitFor(socket.Fd(), events);
  if (events == POLLIN && socket.Tls->Pending()) return !BlockingHook();
  return WaitFor(socket.Fd(), socket.Tls->WaitEvents(events));
}

}  // namespace ferrowin
