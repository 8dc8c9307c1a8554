#include "SocketAddress.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "FTPCompErrors.h"

namespace ferrowin {

TAddress ParseAddress(const std::string& text) {
  in_addr addr{};
  if (inet_pton(AF_INET, text.c_str(), &addr) != 1) return AddressNone;
  return addr.s_addr;
}

std::string AddressText(TAddress address) {
  in_addr addr{};
  addr.s_addr = address;
  char text[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &addr, text, sizeof text);
  return text;
}

int ResolveHost(const std::string& host, TAddress& address) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* result = nullptr;
  int rc = getaddrinfo(host.c_str(), nullptr, &hints, &result);
  if (rc != 0) return SocketErrorFromResolver(rc);
  if (!result) return wsa::NoData;
  address = reinterpret_cast<sockaddr_in*>(result->ai_addr)->sin_addr.s_addr;
  freeaddrinfo(result);
  return 0;
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
  TAddress Address = AddressNone;
};

THostLookup::THostLookup(const std::string& host) : State(std::make_shared<TState>()) {
  TResolveFunction resolve = Resolver.load();
  std::thread([state = State, host, resolve] {
    TAddress address = AddressNone;
    const int error = (resolve ? resolve : ResolveHost)(host, address);
    std::lock_guard lock(state->Lock);
    state->Error = error;
    state->Address = address;
    (void)::eventfd_write(state->Fd, 1);
  }).detach();
}

THostLookup::~THostLookup() = default;

int THostLookup::WaitFd() const { return State->Fd; }

int THostLookup::Result(TAddress& address) const {
  std::lock_guard lock(State->Lock);
  if (State->Error == 0) address = State->Address;
  return State->Error;
}

}  // namespace ferrowin
