#pragma once
// TLS on the engine's own non-blocking sockets (OpenSSL). Nothing here waits: an operation
// that needs the socket readable or writable says so, and the worker waits with its own
// abortable, timed poll.

#include <sys/types.h>

#include <memory>
#include <string>

struct ssl_ctx_st;
struct ssl_st;

namespace ferrowin {

// How a site wants its connection secured. The numbers are stored in the site file.
enum class TEncryption : int { Plain = 0, Explicit = 1, Implicit = 2, Optional = 3 };

// The port an implicit TLS server listens on unless told otherwise.
inline constexpr int ImplicitTlsPort = 990;

// What the user is shown about a server's certificate.
struct TCertificateInfo {
  std::string Host;
  int Port = 0;
  std::string Subject;
  std::string Issuer;
  std::string ValidFrom;
  std::string ValidTo;
  std::string Fingerprint;  // SHA-256, upper-case hex pairs separated by ":"
  std::string Problem;      // why the system's CA store did not vouch for it
  bool Changed = false;     // this host was trusted with another certificate
};

// The outcome of one TLS step on a non-blocking socket.
enum class TTlsStatus { Done, WantRead, WantWrite, Closed, Failed };

// One connection's TLS settings: the library context, shared by the control connection and
// its data connections.
class TTlsContext {
 public:
  TTlsContext();
  ~TTlsContext();
  TTlsContext(const TTlsContext&) = delete;
  TTlsContext& operator=(const TTlsContext&) = delete;
  [[nodiscard]] ssl_ctx_st* Handle() const { return Context; }

 private:
  ssl_ctx_st* Context = nullptr;
};

// TLS, client side, on one connected socket. The socket stays owned by its TSocket.
class TTlsStream {
 public:
  // verifyHost: the name or address the certificate must carry (RFC 6125 rules).
  // resumeFrom: the control connection, whose session a data connection takes up.
  TTlsStream(const TTlsContext& context, int fd, const std::string& verifyHost, const TTlsStream* resumeFrom);
  ~TTlsStream();
  TTlsStream(const TTlsStream&) = delete;
  TTlsStream& operator=(const TTlsStream&) = delete;

  TTlsStatus Handshake();
  // Bytes moved (> 0), or -1 with Status() telling what is needed; 0 is the peer's orderly end.
  ssize_t Read(void* buffer, std::size_t size);
  ssize_t Write(const void* buffer, std::size_t size);
  // Sends the closing alert without waiting for the peer's.
  void Shutdown();

  [[nodiscard]] TTlsStatus Status() const { return Last; }
  // The poll events to wait for before the next read (POLLIN) or write (POLLOUT): a read may
  // need the socket writable and a write readable while the library renegotiates.
  [[nodiscard]] short WaitEvents(short natural) const;
  // Bytes waiting inside the library that a read can use without the socket.
  [[nodiscard]] bool Pending() const;
  [[nodiscard]] std::string Error() const { return ErrorText; }
  [[nodiscard]] bool Verified() const;        // the system's CA store vouches for host and chain
  [[nodiscard]] bool Resumed() const;         // the session of `resumeFrom` was taken up
  [[nodiscard]] std::string Description() const;  // "TLSv1.3, TLS_AES_256_GCM_SHA384"
  [[nodiscard]] TCertificateInfo Certificate() const;

 private:
  TTlsStatus Result(int ret);

  ssl_st* Ssl = nullptr;
  TTlsStatus Last = TTlsStatus::Done;
  TTlsStatus Held = TTlsStatus::Done;  // the end or failure that followed the data read last
  bool LastWasRead = false;
  std::string ErrorText;
};

}  // namespace ferrowin
