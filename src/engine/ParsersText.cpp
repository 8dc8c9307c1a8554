// Line reader, word splitter and the field rules shared by the parsers.

#include <climits>

#include "ParsersInternal.h"

namespace ferrowin::parsers {

namespace {

constexpr std::string_view MonthList = "Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec ";
constexpr std::string_view MonthListUpper = "JAN FEB MAR APR MAY JUN JUL AUG SEP OCT NOV DEC ";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int MonthIn(std::string_view list, std::string_view text) {
  const std::size_t p = list.find(text);
  if (text.empty() || p == std::string_view::npos) return 1;
  return static_cast<int>((p + 1) / 4 + 1);
}

// Optional sign, then one or more digits, within int64.
bool ParseSigned(std::string_view text, std::int64_t& value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return false;
  // Accumulated as a negative number so that INT64_MIN fits.
  std::int64_t v = 0;
  for (; i < text.size(); ++i) {
    if (!IsDigit(text[i])) return false;
    const int digit = text[i] - '0';
    if (v < (INT64_MIN + digit) / 10) return false;
    v = v * 10 - digit;
  }
  if (!negative) {
    if (v == INT64_MIN) return false;
    v = -v;
  }
  value = v;
  return true;
}

}  // namespace

std::string_view ReadLine(TParseState& state) {
  const std::string_view rest = state.Rest();
  // A plain scan: find_first_of calls memchr once per character of the line.
  std::size_t end = 0;
  while (end < rest.size() && rest[end] != '\r' && rest[end] != '\n' && rest[end] != '\0') ++end;
  std::size_t next = end;
  while (next < rest.size() && (rest[next] == '\r' || rest[next] == '\n')) ++next;
  state.Pos += next;
  const std::string_view line = rest.substr(0, end);
  if (state.OnLine && *state.OnLine) (*state.OnLine)(line);
  return line;
}

void SplitWords(std::string_view line, TWords& words) {
  words.Count = 0;
  const std::size_t n = line.size();
  std::size_t i = 0;
  while (words.Count < TWords::Capacity) {
    while (i < n && line[i] == ' ') ++i;
    if (i == n) break;
    const std::size_t start = i;
    while (i < n && line[i] != ' ') ++i;
    words.Items[static_cast<std::size_t>(words.Count++)] = line.substr(start, i - start);
  }
}

std::string_view FromWord(std::string_view line, const TWords& words, int index) {
  if (index < 0 || index >= words.Count) return {};
  return line.substr(static_cast<std::size_t>(words[index].data() - line.data()));
}

std::string_view Copy(std::string_view text, std::size_t start, std::size_t count) {
  if (start < 1 || start > text.size()) return {};
  return text.substr(start - 1, count);
}

std::int64_t LenientInt(std::string_view text) {
  std::int64_t value = 0;
  std::size_t lead = 0;
  while (lead < text.size() && text[lead] == ' ') ++lead;
  if (ParseSigned(text.substr(lead), value)) return value;
  std::size_t first = 0;
  while (first < text.size() && !IsDigit(text[first])) ++first;
  if (first == text.size()) return -1;
  std::size_t last = text.size() - 1;
  while (!IsDigit(text[last])) --last;
  if (ParseSigned(text.substr(first, last - first + 1), value)) return value;
  return -1;
}

int LenientField(std::string_view text) {
  const std::int64_t v = LenientInt(text);
  return v >= INT_MIN && v <= INT_MAX ? static_cast<int>(v) : -1;
}

int MonthOf(std::string_view text) { return MonthIn(MonthList, text); }
int MonthOfUpper(std::string_view text) { return MonthIn(MonthListUpper, text); }
bool InMonthList(std::string_view text) { return MonthList.find(text) != std::string_view::npos; }

void ParseTime(std::string_view text, int& hour, int& minute) {
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos) {
    hour = minute = -1;
    return;
  }
  const std::string_view after = text.substr(colon + 1);
  hour = LenientField(text.substr(0, colon));
  minute = LenientField(after.substr(0, after.find(':')));
}

int InferYear(int month, int day, const TDate& today) {
  const bool ahead = month > today.Month || (month == today.Month && day > today.Day);
  return ahead ? today.Year - 1 : today.Year;
}

TDateTime SafeDate(int year, int month, int day, int hour, int minute, const TDate& today) {
  TDateTime result = 0;
  if (TryEncodeDateTime(year, month, day, hour, minute, 0, 0, result)) return result;
  if (TryEncodeDate(today.Year, 1, 1, result)) return result;
  return 0;
}

std::uint16_t PermissionBits(std::string_view line) {
  static constexpr std::string_view Rights = "rwxrwxrwx";
  std::uint16_t bits = 0;
  if (!line.empty()) {
    if (line[0] == 'd') bits |= faDirectory;
    if (line[0] == 'l') bits |= faSymLink;
  }
  for (std::size_t i = 1; i < 10 && i < line.size(); ++i)
    if (line[i] == Rights[i - 1]) bits |= static_cast<std::uint16_t>(1u << (i + 1));
  return bits;
}

void AddEntry(TParseState& state, std::string_view name, std::uint16_t attributes, TDateTime date,
              std::int64_t size) {
  if (!state.Entries || name.empty()) return;
  if ((attributes & faDirectory) && name.size() < 3 && name.front() == '.' && name.back() == '.')
    return;
  TListingEntry& entry = state.Entries->emplace_back();
  entry.Name.assign(name);
  entry.Attributes = attributes;
  entry.Size = size < 0 ? 0 : size;
  entry.Date = date;
  if (state.OnEntry && *state.OnEntry) (*state.OnEntry)(entry);
}

}  // namespace ferrowin::parsers
