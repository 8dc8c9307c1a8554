#pragma once
// Pieces shared by the listing parsers; not part of the engine's interface.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "Parsers.h"

namespace ferrowin::parsers {

// The state of one Parse call: the cursor moves through Text, one line per parser call.
struct TParseState {
  std::string_view Text;
  std::size_t Pos = 0;
  TDate Today;
  std::string VmsPending;  // a VMS file name wrapped onto a line of its own
  TListingEntries* Entries = nullptr;
  const std::function<void(std::string_view)>* OnLine = nullptr;
  const std::function<void(const TListingEntry&)>* OnEntry = nullptr;

  [[nodiscard]] std::string_view Rest() const { return Text.substr(Pos); }
};

// The line at the cursor (up to the first CR or LF); the cursor moves past it and past every
// CR and LF that follows.
std::string_view ReadLine(TParseState& state);

// Words are runs of characters other than the space (a tab belongs to its word), kept as views
// into the line. Only the first Capacity words are kept; the fields of every listing form lie
// well within them, and names are taken from a word's start to the end of the line.
struct TWords {
  static constexpr int Capacity = 64;
  std::array<std::string_view, Capacity> Items;
  int Count = 0;

  // An absent word reads as empty, which the field rules treat as "not a number".
  [[nodiscard]] std::string_view operator[](int index) const {
    return index >= 0 && index < Count && index < Capacity ? Items[static_cast<std::size_t>(index)] : std::string_view();
  }
};
void SplitWords(std::string_view line, TWords& words);

// The line from the start of word `index` to the end of the line; empty when there is no
// such word.
std::string_view FromWord(std::string_view line, const TWords& words, int index);

// 1-based Copy(text, start, count) with the bounds clamped.
std::string_view Copy(std::string_view text, std::size_t start, std::size_t count);

// The whole text when it is an integer (leading spaces and a sign allowed), else the text from
// its first to its last decimal digit when that is one, else -1.
std::int64_t LenientInt(std::string_view text);
// The same for date and time fields: a value beyond int gives -1 rather than wrapping into range.
int LenientField(std::string_view text);

// "Jan Feb ... Dec " position rule: found at 1-based p gives p div 4 + 1, not found gives 1.
int MonthOf(std::string_view text);
int MonthOfUpper(std::string_view text);  // against "JAN FEB ... DEC "
[[nodiscard]] bool InMonthList(std::string_view text);

// A time word "HH:MM" (seconds ignored). Hours and minutes are taken either side of the
// colon, so "9:15" and "0:23" read right.
void ParseTime(std::string_view text, int& hour, int& minute);

// The year of a date shown without one: this year, or last year when the date is still ahead.
int InferYear(int month, int day, const TDate& today);

// The date, or 1 January of today's year at 00:00 when any part is out of range.
TDateTime SafeDate(int year, int month, int day, int hour, int minute, const TDate& today);

// d/l and rwxrwxrwx in the line's first ten characters.
std::uint16_t PermissionBits(std::string_view line);

// Appends an accepted entry (see TListingParser::Parse).
void AddEntry(TParseState& state, std::string_view name, std::uint16_t attributes,
              TDateTime date, std::int64_t size);

// Each consumes one line at the cursor and adds zero or one entry.
void ParseUnixLine(TParseState& state);
void ParseDosLine(TParseState& state);
void ParseVMLine(TParseState& state);
void ParseVMSLine(TParseState& state);
void ParseMLSDLine(TParseState& state);

}  // namespace ferrowin::parsers
