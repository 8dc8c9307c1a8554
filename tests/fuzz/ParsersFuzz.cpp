// libFuzzer target for the listing parsers: the first byte picks the parser, the rest is the
// listing. Beyond the sanitizers it checks what every accepted entry must satisfy.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "Parsers.h"

using namespace ferrowin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static constexpr TListingParserKind Kinds[] = {TListingParserKind::Unix, TListingParserKind::Dos,
                                                 TListingParserKind::VM, TListingParserKind::VMS};
  const TListingParserKind kind = Kinds[data[0] % 4];
  // A fixed day keeps runs reproducible; the 29th of February exercises the leap-year edges.
  TListingParser parser(kind, TDate{2024, 2, 29});
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  std::size_t lines = 0;
  parser.OnLine = [&](std::string_view line) {
    if (line.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) std::abort();
    ++lines;
  };
  TListingEntries entries;
  parser.Parse(text, entries);
  if (entries.size() > lines) std::abort();
  for (const TListingEntry& e : entries) {
    if (e.Name.empty() || e.Size < 0 || (e.Attributes & ~0x7FF)) std::abort();
    if ((e.Attributes & faDirectory) && (e.Name == "." || e.Name == "..")) std::abort();
    const TDate d = DecodeDate(e.Date);
    if (!IsValidDate(d.Year, d.Month, d.Day)) std::abort();
    if (FormatDateTimeISO(e.Date).size() != 16) std::abort();
  }
  return 0;
}
