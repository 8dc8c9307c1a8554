#pragma once
// Addresses of the engine's connections, kept in one place so IPv6 can follow. For now an
// address is IPv4 in network byte order.

#include <cstdint>
#include <memory>
#include <string>

namespace ferrowin {

using TAddress = std::uint32_t;
inline constexpr TAddress AddressNone = 0xFFFFFFFFu;

// Dotted text to address; AddressNone when the text is not a dotted address.
TAddress ParseAddress(const std::string& text);
std::string AddressText(TAddress address);
// Looks a host name up; returns 0 and the address, or the socket error number.
int ResolveHost(const std::string& host, TAddress& address);

// What THostLookup calls; tests put a resolver of their own here, nullptr restores ResolveHost.
using TResolveFunction = int (*)(const std::string& host, TAddress& address);
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
  // Once WaitFd is readable: 0 and the address, or the socket error number.
  int Result(TAddress& address) const;

  struct TState;

 private:
  std::shared_ptr<TState> State;
};

}  // namespace ferrowin
