#pragma once
// Directory listing parsers: the server type table, the entry every parser produces and the
// four parsers (UNIX, DOS, IBM VM and VMS styles) behind one listing parser object.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "DateTime.h"

namespace ferrowin {

inline constexpr int ServerTypeCount = 53;

// The server type names, indexed by the facade's ServerType; "" out of range.
[[nodiscard]] std::string_view ServerTypeName(int serverType);

// MLSD reads machine-readable listings, whatever the server's type.
enum class TListingParserKind { None, Unix, Dos, VM, VMS, MLSD };

// 1 ("Not Relevant") has no parser; 5 VM; 12 and 13 VMS; 17 DOS; every other type UNIX.
[[nodiscard]] TListingParserKind ParserFor(int serverType);

// Attribute bits of an entry.
enum TEntryAttribute : std::uint16_t {
  faDirectory = 1 << 0,
  faSymLink = 1 << 1,
  faOwnerRead = 1 << 2,
  faOwnerWrite = 1 << 3,
  faOwnerExecute = 1 << 4,
  faGroupRead = 1 << 5,
  faGroupWrite = 1 << 6,
  faGroupExecute = 1 << 7,
  faOthersRead = 1 << 8,
  faOthersWrite = 1 << 9,
  faOthersExecute = 1 << 10,
};

struct TListingEntry {
  std::string Name;  // for UNIX links everything from " -> " on is kept (the target)
  std::uint16_t Attributes = 0;
  std::int64_t Size = 0;  // bytes, never negative
  TDateTime Date = 0;
};
using TListingEntries = std::vector<TListingEntry>;

// One per listing: the VMS parser keeps a file name the server wrapped onto a line of its own
// until the next line, and that must not leak into another listing or connection.
class TListingParser {
 public:
  // today decides the year of "Mon DD HH:MM" dates and the date of VM entries.
  explicit TListingParser(TListingParserKind kind, TDate today = Today());

  // Parses the whole text (up to its first NUL byte), appending the accepted entries: no "." or
  // "..", no empty names, negative sizes become 0. A line that does not fit gives no entry; an
  // exception inside one line's parse loses only that line.
  void Parse(std::string_view text, TListingEntries& entries);

  std::function<void(std::string_view line)> OnLine;       // each line read; empty = not set
  std::function<void(const TListingEntry& entry)> OnEntry;  // each accepted entry

  [[nodiscard]] TListingParserKind Kind() const { return Kind_; }

 private:
  TListingParserKind Kind_;
  TDate Today_;
};

}  // namespace ferrowin
