// Machine-readable listings (MLSD): "fact=value;fact=value; name" per line. Facts are read by
// name in any case; the name is everything after the first blank, blanks and ";" included.

#include <algorithm>
#include <ctime>

#include "Format.h"
#include "ParsersInternal.h"

namespace ferrowin::parsers {
namespace {

struct TFacts {
  std::string_view Type;
  std::string_view Size;
  std::string_view Modify;
  std::string_view Mode;
};

TFacts ReadFacts(std::string_view facts) {
  TFacts found;
  while (!facts.empty()) {
    const std::size_t end = std::min(facts.find(';'), facts.size());
    const std::string_view fact = facts.substr(0, end);
    facts.remove_prefix(std::min(end + 1, facts.size()));
    const std::size_t equals = fact.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string name = LowerCase(fact.substr(0, equals));
    const std::string_view value = fact.substr(equals + 1);
    if (name == "type") found.Type = value;
    else if (name == "size") found.Size = value;
    else if (name == "modify") found.Modify = value;
    else if (name == "unix.mode") found.Mode = value;
  }
  return found;
}

// "YYYYMMDDHHMMSS[.sss]" in UTC, as local time; 1 January of this year when it is not one.
TDateTime ModifyTime(std::string_view text, const TDate& today) {
  auto field = [&](std::size_t at, std::size_t width) {
    return at + width <= text.size() ? LenientField(text.substr(at, width)) : -1;
  };
  std::tm utc{};
  utc.tm_year = field(0, 4) - 1900;
  utc.tm_mon = field(4, 2) - 1;
  utc.tm_mday = field(6, 2);
  utc.tm_hour = field(8, 2);
  utc.tm_min = field(10, 2);
  utc.tm_sec = field(12, 2);
  TDateTime result = 0;
  if (text.size() < 14 || !TryEncodeDateTime(utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour,
                                             utc.tm_min, utc.tm_sec, 0, result))
    return SafeDate(0, 0, 0, 0, 0, today);
  return FromTimePoint(std::chrono::system_clock::from_time_t(::timegm(&utc)));
}

// The permission bits of an octal mode ("0644", "755", "0o644").
std::uint16_t ModeBits(std::string_view mode) {
  if (mode.starts_with("0o") || mode.starts_with("0O")) mode.remove_prefix(2);  // as some servers write it
  if (mode.empty() || mode.size() > 6 || mode.find_first_not_of("01234567") != std::string_view::npos) return 0;
  const unsigned value = static_cast<unsigned>(std::stoul(std::string(mode), nullptr, 8));
  std::uint16_t bits = 0;
  for (int i = 0; i < 9; ++i)
    if (value & (0400u >> i)) bits |= static_cast<std::uint16_t>(faOwnerRead << i);
  return bits;
}

}  // namespace

void ParseMLSDLine(TParseState& state) {
  const std::string_view line = ReadLine(state);
  const std::size_t blank = line.find(' ');
  if (blank == std::string_view::npos) return;
  const TFacts facts = ReadFacts(line.substr(0, blank));
  std::string name(line.substr(blank + 1));
  const std::string type = LowerCase(facts.Type);
  if (type == "cdir" || type == "pdir") return;
  std::uint16_t attributes = ModeBits(facts.Mode);
  // A link is shown as a listing shows it: "name -> target".
  constexpr std::string_view Link = "os.unix=slink:";
  if (type == "dir") {
    attributes |= faDirectory;
  } else if (type.starts_with(Link) || type == "os.unix=symlink") {
    attributes |= faSymLink;
    if (type.size() > Link.size()) name += " -> " + std::string(facts.Type.substr(Link.size()));
  }
  const std::int64_t size = (attributes & faDirectory) ? 0 : LenientInt(facts.Size);
  AddEntry(state, name, attributes, ModifyTime(facts.Modify, state.Today), size);
}

}  // namespace ferrowin::parsers
