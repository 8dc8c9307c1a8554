#include "SocketAddress.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <thread>

#include "FTPCompErrors.h"

namespace ferrowin {

int TAddress::Port() const {
  if (Storage.ss_family == AF_INET) return ntohs(reinterpret_cast<const sockaddr_in*>(&Storage)->sin_port);
  if (Storage.ss_family == AF_INET6) return ntohs(reinterpret_cast<const sockaddr_in6*>(&Storage)->sin6_port);
  return 0;
}

void TAddress::SetPort(int port) {
  const auto value = htons(static_cast<std::uint16_t>(port));
  if (Storage.ss_family == AF_INET) reinterpret_cast<sockaddr_in*>(&Storage)->sin_port = value;
  if (Storage.ss_family == AF_INET6) reinterpret_cast<sockaddr_in6*>(&Storage)->sin6_port = value;
}

socklen_t TAddress::Length() const {
  if (Storage.ss_family == AF_INET) return sizeof(sockaddr_in);
  if (Storage.ss_family == AF_INET6) return sizeof(sockaddr_in6);
  return 0;
}

TAddress TAddress::From(const sockaddr* address, socklen_t length) {
  TAddress result;
  if (address && length <= sizeof result.Storage &&
      ((address->sa_family == AF_INET && length >= sizeof(sockaddr_in)) ||
       (address->sa_family == AF_INET6 && length >= sizeof(sockaddr_in6))))
    std::memcpy(&result.Storage, address, length);
  return result;
}

namespace {

// The IPv4 address inside an IPv4-mapped IPv6 address (::ffff:a.b.c.d), else the address.
TAddress Unmapped(const TAddress& address) {
  if (!address.IsIPv6()) return address;
  const auto* in6 = reinterpret_cast<const sockaddr_in6*>(address.Data());
  if (!IN6_IS_ADDR_V4MAPPED(&in6->sin6_addr)) return address;
  sockaddr_in in4{};
  in4.sin_family = AF_INET;
  in4.sin_port = in6->sin6_port;
  std::memcpy(&in4.sin_addr, in6->sin6_addr.s6_addr + 12, 4);
  return TAddress::From(reinterpret_cast<const sockaddr*>(&in4), sizeof in4);
}

}  // namespace

bool TAddress::SameHost(const TAddress& other) const {
  const TAddress a = Unmapped(*this), b = Unmapped(other);
  if (!a.Valid() || a.Family() != b.Family()) return false;
  if (a.Family() == AF_INET)
    return reinterpret_cast<const sockaddr_in*>(a.Data())->sin_addr.s_addr ==
           reinterpret_cast<const sockaddr_in*>(b.Data())->sin_addr.s_addr;
  return std::memcmp(&reinterpret_cast<const sockaddr_in6*>(a.Data())->sin6_addr,
                     &reinterpret_cast<const sockaddr_in6*>(b.Data())->sin6_addr, sizeof(in6_addr)) == 0;
}

TAddress ParseAddress(const std::string& text) {
  sockaddr_in in4{};
  if (inet_pton(AF_INET, text.c_str(), &in4.sin_addr) == 1) {
    in4.sin_family = AF_INET;
    return TAddress::From(reinterpret_cast<const sockaddr*>(&in4), sizeof in4);
  }
  sockaddr_in6 in6{};
  if (inet_pton(AF_INET6, text.c_str(), &in6.sin6_addr) == 1) {
    in6.sin6_family = AF_INET6;
    return TAddress::From(reinterpret_cast<const sockaddr*>(&in6), sizeof in6);
  }
  return {};
}

std::string AddressText(const TAddress& address) {
  char text[INET6_ADDRSTRLEN] = {};
  if (address.Family() == AF_INET)
    inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(address.Data())->sin_addr, text, sizeof text);
  else if (address.IsIPv6())
    inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(address.Data())->sin6_addr, text, sizeof text);
  return text;
}

std::string EndpointText(const TAddress& address, int port) {
  const std::string host = AddressText(address);
  return (address.IsIPv6() ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

namespace {

bool ValidPort(const std::string& text, int& port) {
  if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos) return false;
  const int value = std::stoi(text);
  if (value < 1 || value > 65535) return false;
  port = value;
  return true;
}

}  // namespace

std::string SplitHostPort(const std::string& text, int& port) {
  if (!text.empty() && text[0] == '[') {
    const std::size_t close = text.find(']');
    if (close == std::string::npos) return text;
    if (close + 1 < text.size() && text[close + 1] == ':') ValidPort(text.substr(close + 2), port);
    return text.substr(1, close - 1);
  }
  const std::size_t colon = text.find(':');
  // More than one colon: an IPv6 literal written without brackets, which names no port.
  if (colon == std::string::npos || text.find(':', colon + 1) != std::string::npos) return text;
  int named = port;
  if (!ValidPort(text.substr(colon + 1), named)) return text;
  port = named;
  return text.substr(0, colon);
}

int ResolveHost(const std::string& host, std::vector<TAddress>& addresses) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* result = nullptr;
  int rc = getaddrinfo(host.c_str(), nullptr, &hints, &result);
  if (rc != 0) return SocketErrorFromResolver(rc);
  addresses.clear();
  for (const addrinfo* a = result; a; a = a->ai_next)
    if (TAddress address = TAddress::From(a->ai_addr, a->ai_addrlen); address.Valid()) addresses.push_back(address);
  freeaddrinfo(result);
  return addresses.empty() ? wsa::NoData : 0;
}

namespace {
std::atomic<TResolveFunction> Resolver{nullptr};
}  // namespace

void SetResolveFunction(TResolveFunction function) { Resolver = function; }

struct THostLookup::TState {
  TState() : Fd(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}
  ~TState() {
    if (Fd >= 0) ::close(Fd);
  }
  TState(const TState&) = delete;
  TState& operator=(const TState&) = delete;
  const int Fd;  // readable once the answer is there
  std::mutex Lock;
  int Error = wsa::NoRecovery;
  std::vector<TAddress> Addresses;
};

THostLookup::THostLookup(const std::string& host) : State(std::make_shared<TState>()) {
  TResolveFunction resolve = Resolver.load();
  std::thread([state = State, host, resolve] {
    std::vector<TAddress> addresses;
    const int error = (resolve ? resolve : ResolveHost)(host, addresses);
    std::lock_guard lock(state->Lock);
    state->Error = error;
    state->Addresses = std::move(addresses);
    (void)::eventfd_write(state->Fd, 1);
  }).detach();
}

THostLookup::~THostLookup() = default;

int THostLookup::WaitFd() const { return State->Fd; }

int THostLookup::Result(std::vector<TAddress>& addresses) const {
  std::lock_guard lock(State->Lock);
  if (State->Error == 0) addresses = State->Addresses;
  return State->Error;
}

}  // namespace ferrowin
