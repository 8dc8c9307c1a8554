#pragma once
// Socket error numbers and texts as the program reports them, and the exceptions that carry
// them inside a worker. The numbers are the classic Windows Sockets ones; POSIX errno and
// resolver codes are mapped onto them.

#include <stdexcept>
#include <string>
#include <utility>

namespace ferrowin {

namespace wsa {
inline constexpr int Interrupted = 10004;       // cancelled: abort or time-out
inline constexpr int NotSocket = 10038;
inline constexpr int MessageTooLong = 10040;
inline constexpr int ConnectionReset = 10054;
inline constexpr int NotConnected = 10057;
inline constexpr int TimedOut = 10060;
inline constexpr int ConnectionRefused = 10061;
inline constexpr int HostNotFound = 11001;
inline constexpr int TryAgain = 11002;
inline constexpr int NoRecovery = 11003;
inline constexpr int NoData = 11004;
}  // namespace wsa

// "Connection refused" for 10061, "" for 0, "Not a WinSock error [n]" for unknown codes.
std::string SocketErrorText(int code);

// The last socket error of the calling thread (each worker has its own).
int LastSocketError();
void SetLastSocketError(int code);

// Maps an errno value or a getaddrinfo result onto the error numbers above.
int SocketErrorFromErrno(int errnoValue);
int SocketErrorFromResolver(int eaiCode);

class ESocketException : public std::runtime_error {
 public:
  ESocketException(const std::string& message, int errorCode)
      : std::runtime_error(message), ErrorCode(errorCode) {}
  int ErrorCode;
};

class EControlSocketException : public ESocketException {
 public:
  using ESocketException::ESocketException;
};

class EDataSocketException : public ESocketException {
 public:
  using ESocketException::ESocketException;
};

// The server said a definite no to the user, password or account: trying again cannot help
// and only counts against us in the server's intrusion filter.
class ELoginRefused : public EControlSocketException {
 public:
  ELoginRefused(const std::string& message, std::string reply)
      : EControlSocketException(message, 0), Reply(std::move(reply)) {}
  std::string Reply;  // the server's refusal, its lines joined by LF
};

// A local file that cannot be created, opened, read or written.
class EStreamError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace ferrowin
