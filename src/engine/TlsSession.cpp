// OpenSSL underneath: Debian keeps it current, it verifies host names by RFC 6125 itself
// (X509_check_host) and gives direct control over session resumption, which FTP servers
// demand for data connections.

#include "TlsSession.h"

#include <arpa/inet.h>
#include <sys/socket.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <poll.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <utility>

namespace ferrowin {
namespace {

std::string LibraryError() {
  char text[256] = "";
  unsigned long code = ERR_get_error();
  if (code != 0) ERR_error_string_n(code, text, sizeof text);
  ERR_clear_error();
  return text;
}

std::string NameText(const X509_NAME* name) {
  BIO* bio = BIO_new(BIO_s_mem());
  if (!bio) return {};
  X509_NAME_print_ex(bio, name, 0, XN_FLAG_RFC2253 & ~ASN1_STRFLGS_ESC_MSB);
  char* data = nullptr;
  long size = BIO_get_mem_data(bio, &data);
  std::string text(data, static_cast<std::size_t>(size > 0 ? size : 0));
  BIO_free(bio);
  return text;
}

std::string TimeText(const ASN1_TIME* time) {
  std::tm tm{};
  if (!time || ASN1_TIME_to_tm(time, &tm) != 1) return {};
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &tm);
  return text;
}

std::string FingerprintText(X509* cert) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (X509_digest(cert, EVP_sha256(), digest, &length) != 1) return {};
  static constexpr char hex[] = "0123456789ABCDEF";
  std::string text;
  for (unsigned int i = 0; i < length; ++i) {
    if (i) text += ':';
    text += hex[digest[i] >> 4];
    text += hex[digest[i] & 15];
  }
  return text;
}

// The library's own socket I/O would let a peer that closed early kill the program with
// SIGPIPE; this one sends with MSG_NOSIGNAL, as the rest of the engine does.
int SocketOf(BIO* bio) { return static_cast<int>(reinterpret_cast<std::intptr_t>(BIO_get_data(bio))); }

int SocketRead(BIO* bio, char* buffer, std::size_t size, std::size_t* done) {
  BIO_clear_retry_flags(bio);
  const ssize_t n = ::recv(SocketOf(bio), buffer, size, 0);
  if (n > 0) {
    *done = static_cast<std::size_t>(n);
    return 1;
  }
  if (n == 0) BIO_set_flags(bio, BIO_FLAGS_IN_EOF);
  else if (errno == EAGAIN || errno == EINTR) BIO_set_retry_read(bio);
  return 0;
}

int SocketWrite(BIO* bio, const char* data, std::size_t size, std::size_t* done) {
  BIO_clear_retry_flags(bio);
  const ssize_t n = ::send(SocketOf(bio), data, size, MSG_NOSIGNAL);
  if (n >= 0) {
    *done = static_cast<std::size_t>(n);
    return 1;
  }
  if (errno == EAGAIN || errno == EINTR) BIO_set_retry_write(bio);
  return 0;
}

long SocketControl(BIO* bio, int command, long, void*) {
  switch (command) {
    case BIO_CTRL_FLUSH:
      return 1;
    case BIO_CTRL_EOF:
      return BIO_test_flags(bio, BIO_FLAGS_IN_EOF) != 0;
    case BIO_C_GET_FD:
      return SocketOf(bio);
    default:
      return 0;
  }
}

BIO* SocketBio(int fd) {
  static BIO_METHOD* const method = [] {
    BIO_METHOD* m = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "ferrowin socket");
    BIO_meth_set_read_ex(m, SocketRead);
    BIO_meth_set_write_ex(m, SocketWrite);
    BIO_meth_set_ctrl(m, SocketControl);
    return m;
  }();
  BIO* bio = BIO_new(method);
  if (!bio) return nullptr;
  BIO_set_data(bio, reinterpret_cast<void*>(static_cast<std::intptr_t>(fd)));
  BIO_set_init(bio, 1);
  return bio;
}

bool IsAddress(const std::string& host) {
  unsigned char buffer[16];
  return inet_pton(AF_INET, host.c_str(), buffer) == 1 || inet_pton(AF_INET6, host.c_str(), buffer) == 1;
}

}  // namespace

TTlsContext::TTlsContext() : Context(SSL_CTX_new(TLS_client_method())) {
  if (!Context) return;
  SSL_CTX_set_min_proto_version(Context, TLS1_2_VERSION);
  SSL_CTX_set_default_verify_paths(Context);
  // The chain and the name are checked, but the handshake goes on whatever they say: the
  // user decides about a certificate the CA store does not vouch for.
  SSL_CTX_set_verify(Context, SSL_VERIFY_NONE, nullptr);
  // Many FTP servers close data connections without the closing alert; the closing reply on
  // the control connection and the announced size say whether a transfer was whole.
  SSL_CTX_set_options(Context, SSL_OP_IGNORE_UNEXPECTED_EOF);
  SSL_CTX_set_mode(Context, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
  // Records are read many at a time, not header and body in two system calls each.
  SSL_CTX_set_read_ahead(Context, 1);
  SSL_CTX_set_default_read_buffer_len(Context, 256 * 1024);
}

TTlsContext::~TTlsContext() { SSL_CTX_free(Context); }

TTlsStream::TTlsStream(const TTlsContext& context, int fd, const std::string& verifyHost,
                       const TTlsStream* resumeFrom)
    : Ssl(context.Handle() ? SSL_new(context.Handle()) : nullptr) {
  if (!Ssl) {
    ErrorText = LibraryError();
    return;
  }
  BIO* bio = SocketBio(fd);
  if (!bio) {
    ErrorText = LibraryError();
    SSL_free(Ssl);
    Ssl = nullptr;
    return;
  }
  SSL_set_bio(Ssl, bio, bio);
  X509_VERIFY_PARAM* param = SSL_get0_param(Ssl);
  X509_VERIFY_PARAM_set_hostflags(param, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
  if (IsAddress(verifyHost)) {
    X509_VERIFY_PARAM_set1_ip_asc(param, verifyHost.c_str());
  } else if (!verifyHost.empty()) {
    X509_VERIFY_PARAM_set1_host(param, verifyHost.c_str(), 0);
    SSL_set_tlsext_host_name(Ssl, verifyHost.c_str());
  }
  if (resumeFrom && resumeFrom->Ssl) {
    if (SSL_SESSION* session = SSL_get1_session(resumeFrom->Ssl)) {
      SSL_set_session(Ssl, session);
      SSL_SESSION_free(session);
    }
  }
}

TTlsStream::~TTlsStream() { SSL_free(Ssl); }

TTlsStatus TTlsStream::Result(int ret) {
  if (ret > 0) return Last = TTlsStatus::Done;
  const int saved = errno;
  switch (SSL_get_error(Ssl, ret)) {
    case SSL_ERROR_WANT_READ:
      return Last = TTlsStatus::WantRead;
    case SSL_ERROR_WANT_WRITE:
      return Last = TTlsStatus::WantWrite;
    case SSL_ERROR_ZERO_RETURN:
      return Last = TTlsStatus::Closed;
    case SSL_ERROR_SYSCALL:
      ErrorText = LibraryError();
      if (ErrorText.empty()) ErrorText = saved != 0 ? std::strerror(saved) : "connection closed during TLS";
      errno = saved;
      return Last = TTlsStatus::Failed;
    default:
      ErrorText = LibraryError();
      return Last = TTlsStatus::Failed;
  }
}

TTlsStatus TTlsStream::Handshake() {
  if (!Ssl) return Last = TTlsStatus::Failed;
  ERR_clear_error();
  return Result(SSL_connect(Ssl));
}

// One call of the library gives one record (16 KiB at most); taking every record that has
// arrived lets the data land in the file in large writes. What ended the records (the end,
// a failure) is told at the next call, after the data before it.
ssize_t TTlsStream::Read(void* buffer, std::size_t size) {
  LastWasRead = true;
  if (Held != TTlsStatus::Done) {
    Last = std::exchange(Held, TTlsStatus::Done);
    return Last == TTlsStatus::Closed ? 0 : -1;
  }
  ERR_clear_error();
  auto* out = static_cast<char*>(buffer);
  std::size_t total = 0;
  std::size_t done = 0;
  while (total < size && SSL_read_ex(Ssl, out + total, size - total, &done) == 1) total += done;
  const TTlsStatus status = total < size ? Result(0) : (Last = TTlsStatus::Done);
  if (total == 0) return status == TTlsStatus::Closed ? 0 : -1;
  if (status == TTlsStatus::Closed || status == TTlsStatus::Failed) {
    Held = status;
    Last = TTlsStatus::Done;
  }
  return static_cast<ssize_t>(total);
}

ssize_t TTlsStream::Write(const void* buffer, std::size_t size) {
  ERR_clear_error();
  LastWasRead = false;
  std::size_t done = 0;
  if (SSL_write_ex(Ssl, buffer, size, &done) == 1) {
    Last = TTlsStatus::Done;
    return static_cast<ssize_t>(done);
  }
  Result(0);
  return -1;
}

void TTlsStream::Shutdown() {
  ERR_clear_error();
  if (Ssl && SSL_is_init_finished(Ssl)) SSL_shutdown(Ssl);
  ERR_clear_error();
}

short TTlsStream::WaitEvents(short natural) const {
  if ((natural == POLLIN) != LastWasRead) return natural;
  if (Last == TTlsStatus::WantRead) return POLLIN;
  if (Last == TTlsStatus::WantWrite) return POLLOUT;
  return natural;
}

// Decrypted bytes, or records read ahead that no read has tried yet. After a read asked for
// more, what is left is part of a record: the socket must bring the rest, and a wait that
// did not poll it would spin.
bool TTlsStream::Pending() const {
  if (!Ssl) return false;
  if (SSL_pending(Ssl) > 0) return true;
  return SSL_has_pending(Ssl) == 1 && !(LastWasRead && Last == TTlsStatus::WantRead);
}

bool TTlsStream::Verified() const {
  return Ssl && SSL_get0_peer_certificate(Ssl) && SSL_get_verify_result(Ssl) == X509_V_OK;
}

bool TTlsStream::Resumed() const { return Ssl && SSL_session_reused(Ssl) == 1; }

std::string TTlsStream::Description() const {
  if (!Ssl) return {};
  return std::string(SSL_get_version(Ssl)) + ", " + SSL_get_cipher_name(Ssl);
}

TCertificateInfo TTlsStream::Certificate() const {
  TCertificateInfo info;
  X509* cert = Ssl ? SSL_get0_peer_certificate(Ssl) : nullptr;
  if (!cert) {
    info.Problem = "the server sent no certificate";
    return info;
  }
  info.Subject = NameText(X509_get_subject_name(cert));
  info.Issuer = NameText(X509_get_issuer_name(cert));
  info.ValidFrom = TimeText(X509_get0_notBefore(cert));
  info.ValidTo = TimeText(X509_get0_notAfter(cert));
  info.Fingerprint = FingerprintText(cert);
  const long result = SSL_get_verify_result(Ssl);
  if (result != X509_V_OK) info.Problem = X509_verify_cert_error_string(result);
  return info;
}

}  // namespace ferrowin
