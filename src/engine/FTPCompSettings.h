#pragma once
// Process-wide settings of the FTP engine: written by the user-interface thread when
// preferences are applied, read by every worker.

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace ferrowin {

using TColor = std::uint32_t;  // 0x00BBGGRR

inline constexpr TColor CommandColor = 0x008000;  // green: commands sent
inline constexpr TColor ReplyColor = 0xFF0000;    // blue: replies below 400
inline constexpr TColor InfoColor = 0x000000;     // black: the engine's own notices
inline constexpr TColor ErrorColor = 0x0000FF;    // red: replies from 400 on, errors

// The control connection reads and uploads read in these steps.
inline constexpr std::size_t SendChunk = 4096;
inline constexpr std::size_t ReceiveChunk = 4096;
// The data connection moves files in larger steps: one system call per 4 KiB would hold a
// transfer far below what a loopback or LAN link carries.
inline constexpr std::size_t DataChunk = 256 * 1024;
// A listing is not read past this size: 128 MiB hold about 1.5 million lines of an ordinary
// UNIX listing, several times the largest folders of public mirrors, while the text and its
// parsed entries stay within a few hundred megabytes. A server sending more is broken or hostile.
inline constexpr std::size_t MaxListingBytes = 128 * 1024 * 1024;

struct TEngineSettings {
  std::atomic<bool> Ping{true};              // NOOP on idle logged-in connections
  std::atomic<bool> QuickDisconnect{false};  // Logout without QUIT
  std::atomic<std::uint32_t> TimeOut{120000};  // ms, longest wait in one blocking call
  std::atomic<int> RetryDelay{5};            // seconds between connection attempts
  std::atomic<int> MaxAttempts{3};           // per login command; 0 = unlimited
  std::atomic<bool> MachineListings{true};   // MLSD where the server announces it
};

// The one set of engine settings of this process.
TEngineSettings& EngineSettings();

}  // namespace ferrowin
