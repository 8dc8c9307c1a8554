// UNIX style: "ls -l" lines, the NetWare form with bracketed rights, and the Chinese servers
// that write month and day with the GB2312 characters for month and day.

#include "ParsersInternal.h"

namespace ferrowin::parsers {

namespace {

constexpr std::string_view GBMonth = "\xD4\xC2";

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// The word at `index` followed by the character after it in the line, if any.
std::string_view WithNextChar(std::string_view line, std::string_view word) {
  const auto start = static_cast<std::size_t>(word.data() - line.data());
  return line.substr(start, word.size() + 1);
}

// The month word: a month name among words 1..5 (searched from the right, so a user or group
// that happens to read like a month does not win), else any word that with its following
// character matches one.
int FindMonthWord(std::string_view line, const TWords& words, int shift) {
  for (int k = 5 - shift; k >= 1; --k)
    if (InMonthList(words[k])) return k;
  for (int k = 0; k < words.Count; ++k)
    if (InMonthList(WithNextChar(line, words[k]))) return k;
  return 5 - shift;
}

// Month and day written with the GB2312 characters (word 5 month, or word 5 year and word 6
// month); false when the line has neither form.
bool ChineseDate(const TWords& words, const TDate& today, int& year, int& month, int& day,
                 int& hour, int& minute) {
  if (Contains(words[5], GBMonth)) {
    month = LenientField(words[5]);
    day = LenientField(words[6]);
    ParseTime(words[7], hour, minute);
    year = InferYear(month, day, today);
    return true;
  }
  if (Contains(words[6], GBMonth)) {
    year = LenientField(words[5]);
    month = LenientField(words[6]);
    day = LenientField(words[7]);
    hour = minute = 0;
    return true;
  }
  return false;
}

}  // namespace

void ParseUnixLine(TParseState& state) {
  const std::string_view line = ReadLine(state);
  if (line.empty()) return;
  TWords words;
  SplitWords(line, words);
  if (words.Count < 6) return;

  const int shift = words[1].starts_with('[') ? 1 : 0;
  const int m = FindMonthWord(line, words, shift);
  const std::string_view name = FromWord(line, words, m + 3);
  const std::uint16_t attributes = PermissionBits(line);
  const std::int64_t size = (attributes & faDirectory) || m == 0 ? 0 : LenientInt(words[m - 1]);

  int year = 0, month = 0, day = 0, hour = 0, minute = 0;
  // A name may hold the month character too; such a line is read as an ordinary one rather
  // than dropped.
  if (!Contains(line, GBMonth) || !ChineseDate(words, state.Today, year, month, day, hour, minute)) {
    month = MonthOf(WithNextChar(line, words[m]));
    day = LenientField(words[m + 1]);
    const std::string_view t = words[m + 2];
    if (Contains(t, ":")) {
      ParseTime(t, hour, minute);
      year = InferYear(month, day, state.Today);
    } else {
      year = LenientField(t);
    }
  }
  AddEntry(state, name, attributes, SafeDate(year, month, day, hour, minute, state.Today), size);
}

}  // namespace ferrowin::parsers
