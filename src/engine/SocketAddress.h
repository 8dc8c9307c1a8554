#pragma once
// Addresses of the engine's connections, kept in one place so IPv6 can follow. For now an
// address is IPv4 in network byte order.

#include <cstdint>
#include <string>

namespace ferrowin {

using TAddress = std::uint32_t;
inline constexpr TAddress AddressNone = 0xFFFFFFFFu;

// Dotted text to address; AddressNone when the text is not a dotted address.
TAddress ParseAddress(const std::string& text);
std::string AddressText(TAddress address);
// Looks a host name up; returns 0 and the address, or the socket error number.
int ResolveHost(const std::string& host, TAddress& address);

}  // namespace ferrowin
