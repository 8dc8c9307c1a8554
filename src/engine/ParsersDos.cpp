// DOS style (Microsoft NT): "MM-DD-YY  HH:MMAM  <DIR>|size  name" at fixed columns; any other
// line is tried as a UNIX line, since these servers can be switched to UNIX-style listings.

#include <cctype>

#include "ParsersInternal.h"

namespace ferrowin::parsers {

void ParseDosLine(TParseState& state) {
  const std::string_view rest = state.Rest();
  if (rest.size() < 13 || rest[2] != '-' || rest[12] != ':') {
    ParseUnixLine(state);
    return;
  }
  const std::string_view line = ReadLine(state);
  if (line.empty()) return;
  TWords words;
  SplitWords(line, words);
  if (words.Count < 4) return;

  std::uint16_t attributes = 0;
  std::int64_t size = 0;
  if (words[2] == "<DIR>")
    attributes = faDirectory;
  else
    size = LenientInt(words[2]);

  const int month = LenientField(Copy(line, 1, 2));
  const int day = LenientField(Copy(line, 4, 2));
  int year = LenientField(Copy(line, 7, 2));
  year += year < 80 ? 2000 : 1900;
  int hour = LenientField(Copy(line, 11, 2));
  const int minute = LenientField(Copy(line, 14, 2));
  const char half = line.size() >= 16 ? static_cast<char>(std::toupper(static_cast<unsigned char>(line[15]))) : '\0';
  if (half == 'P' && hour >= 0 && hour < 12) hour += 12;
  if (half == 'A' && hour == 12) hour = 0;

  AddEntry(state, FromWord(line, words, 3), attributes,
           SafeDate(year, month, day, hour, minute, state.Today), size);
}

}  // namespace ferrowin::parsers
