#pragma once
// Addresses of the engine's connections, IPv4 and IPv6, kept in one place: parsing and
// writing them, host names with their addresses in the resolver's order, and the host field
// form "[2001:db8::1]:2121".

#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ferrowin {

// One IPv4 or IPv6 address with a port; an address without family is "none".
class TAddress {
 public:
  TAddress() = default;
  [[nodiscard]] bool Valid() const { return Storage.ss_family == AF_INET || Storage.ss_family == AF_INET6; }
  [[nodiscard]] int Family() const { return Storage.ss_family; }
  [[nodiscard]] bool IsIPv6() const { return Storage.ss_family == AF_INET6; }
  [[nodiscard]] int Port() const;
  void SetPort(int port);
  [[nodiscard]] const sockaddr* Data() const { return reinterpret_cast<const sockaddr*>(&Storage); }
  [[nodiscard]] socklen_t Length() const;
  // Equal hosts: family and address bytes (an IPv4 address mapped into IPv6 counts as that
  // IPv4 address); the ports do not matter.
  [[nodiscard]] bool SameHost(const TAddress& other) const;
  // From a socket call's result (getsockname, accept, getaddrinfo).
  static TAddress From(const sockaddr* address, socklen_t length);

 private:
  sockaddr_storage Storage{};
};

// Literal text (dotted IPv4 or IPv6, no brackets) to an address; invalid when it is not one.
TAddress ParseAddress(const std::string& text);
// The address as text: "10.0.0.5", "2001:db8::1"; "" for none.
std::string AddressText(const TAddress& address);
// Address and port as written in a host field: "10.0.0.5:21", "[2001:db8::1]:21".
std::string EndpointText(const TAddress& address, int port);

// A host field or URL host: "[2001:db8::1]:2121", "[::1]", "::1", "name:2121" or a bare name.
// Gives the host without brackets and sets port when the text names one (a valid port only).
std::string SplitHostPort(const std::string& text, int& port);

// Looks a host name up; returns 0 and its addresses in the resolver's order, or the socket
// error number.
int ResolveHost(const std::string& host, std::vector<TAddress>& addresses);

// What THostLookup calls; tests put a resolver of their own here, nullptr restores ResolveHost.
using TResolveFunction = int (*)(const std::string& host, std::vector<TAddress>& addresses);
void SetResolveFunction(TResolveFunction function);

// A host lookup on a thread of its own: the system's resolver cannot be interrupted, so the
// caller waits for WaitFd to become readable and may give up before. A lookup given up on
// finishes by itself, touching nothing but its own state.
class THostLookup {
 public:
  explicit THostLookup(const std::string& host);
  ~THostLookup();
  THostLookup(const THostLookup&) = delete;
  THostLookup& operator=(const THostLookup&) = delete;
  [[nodiscard]] int WaitFd() const;
  // Once WaitFd is readable: 0 and the addresses, or the socket error number.
  int Result(std::vector<TAddress>& addresses) const;

  struct TState;

 private:
  std::shared_ptr<TState> State;
};

}  // namespace ferrowin
