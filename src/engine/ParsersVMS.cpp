// VMS style (MultiNet, UCX): "NAME.TYPE;VERSION  blocks  DD-MON-YYYY HH:MM:SS  [owner] (rights)".
// A long file name is wrapped onto a line of its own; it is kept until the next line.

#include <algorithm>
#include <climits>

#include "ParsersInternal.h"

namespace ferrowin::parsers {

namespace {

constexpr std::int64_t BlockSize = 512;

// Date and time parts, cut at every "-" and ":" of word 2 and word 3 in turn.
struct TDateParts {
  std::array<std::string_view, 5> Items;
  std::size_t Count = 0;

  void Add(std::string_view text) {
    std::size_t start = 0;
    while (Count < Items.size()) {
      const std::size_t cut = text.find_first_of("-:", start);
      Items[Count++] = text.substr(start, cut == std::string_view::npos ? std::string_view::npos : cut - start);
      if (cut == std::string_view::npos) break;
      start = cut + 1;
    }
  }
  [[nodiscard]] std::string_view operator[](std::size_t i) const { return i < Count ? Items[i] : std::string_view(); }
};

// The month as written, compared in upper case ("Dec" as well as "DEC").
int MonthOfWord(std::string_view text) {
  char upper[4] = {};
  if (text.size() > 3) return MonthOfUpper(text);
  std::transform(text.begin(), text.end(), upper,
                 [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
  return MonthOfUpper(std::string_view(upper, text.size()));
}

std::int64_t BlocksToBytes(std::int64_t blocks) {
  if (blocks < 0 || blocks > INT64_MAX / BlockSize) return 0;
  return blocks * BlockSize;
}

}  // namespace

void ParseVMSLine(TParseState& state) {
  std::string_view line = ReadLine(state);
  if (line.empty()) return;
  std::string joined;
  if (!state.VmsPending.empty()) {
    // A space between them, so the name cannot run into a continuation line that is not indented.
    joined = std::move(state.VmsPending);
    joined.append(" ").append(line);
    state.VmsPending.clear();
    line = joined;
  }
  if (line.find(';') == std::string_view::npos) {
    state.VmsPending.clear();
    return;
  }
  TWords words;
  SplitWords(line, words);
  if (words.Count < 2) {
    state.VmsPending.assign(line);
    return;
  }

  std::string_view name = words[0].substr(0, words[0].find(';'));
  std::uint16_t attributes = 0;
  if (const std::size_t dir = name.find(".DIR"); dir != std::string_view::npos) {
    name = name.substr(0, dir);
    attributes = faDirectory;
  }
  const std::int64_t size = BlocksToBytes(LenientInt(words[1]));

  TDateParts parts;
  parts.Add(words[2]);
  parts.Add(words[3]);
  const int day = LenientField(parts[0]);
  const int month = MonthOfWord(parts[1]);
  const int year = LenientField(parts[2]);
  const int hour = LenientField(parts[3]);
  const int minute = LenientField(parts[4]);
  AddEntry(state, name, attributes, SafeDate(year, month, day, hour, minute, state.Today), size);
}

}  // namespace ferrowin::parsers
