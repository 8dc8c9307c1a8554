#pragma once
// Small services shared by the engine and the rest of the program: where the program keeps
// its own files, the debug trace (Debug.txt) and taking ftp:// and http:// URLs apart.

#include <cstdint>
#include <string>
#include <string_view>

namespace ferrowin {

// The folder for the program's own files (settings, sites, log, Debug.txt), ending in "/":
// $FERROWIN_HOME when set; else the program's folder when it is writable (a portable
// copy that is not installed); else $XDG_CONFIG_HOME/ferrowin/ (default ~/.config/ferrowin/). Created on demand.
std::string ProgramFilesFolder();

// True for a program folder laid out as installed: ".../bin/" beside ".../share/ferrowin/".
[[nodiscard]] bool IsInstalledLayout(const std::string& programFolder);

// The debug trace: off at start; while on, every call appends one time-stamped line to
// Debug.txt in ProgramFilesFolder(). Safe from any thread.
void SetDebugTrace(bool on);
[[nodiscard]] bool DebugTraceOn();
void DebugTrace(std::string_view message);
// Tests and tools may send the trace elsewhere; an empty path restores Debug.txt.
void SetDebugTraceFile(const std::string& path);

struct TURLParts {
  std::string User;
  std::string Password;
  std::string Host;
  unsigned Port = 21;
  std::string Folder;    // ends with "/" or is empty
  std::string FileName;
  bool ImplicitTls = false;  // ftps://: TLS from the first byte, port 990 by default
};

// Splits an ftp:// or http:// URL ("ftp://" is assumed without a scheme). An empty user
// becomes "anonymous" with defaultPassword. Returns false when the text is not a URL.
[[nodiscard]] bool ParseURL(std::string_view text, std::string_view defaultPassword, TURLParts& parts);

// text with "%XX" for blanks, control and non-ASCII bytes, "%" and the characters in special.
std::string EscapeURLText(std::string_view text, std::string_view special = {});

// The URL written for a remote entry: user and password left out for exactly "anonymous",
// the port left out when it is 21. path starts with "/".
std::string EntryURL(std::string_view user, std::string_view password, std::string_view host,
                     unsigned port, std::string_view path);

}  // namespace ferrowin
