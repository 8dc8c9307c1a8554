// Listing parsers and the date value they produce.

#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "DateTime.h"
#include "FTPCompDetect.h"
#include "Parsers.h"
#include "ParsersInternal.h"

namespace ferrowin {
namespace {

// Fixed "today" so that year inference is checked against known dates.
constexpr TDate TestToday{2024, 6, 15};

constexpr std::uint16_t RwRR = faOwnerRead | faOwnerWrite | faGroupRead | faOthersRead;
constexpr std::uint16_t RwxRxRx = faOwnerRead | faOwnerWrite | faOwnerExecute | faGroupRead |
                                  faGroupExecute | faOthersRead | faOthersExecute;
constexpr std::uint16_t AllRights = 0x7FC;

struct TExpected {
  std::string Name;
  std::uint16_t Attributes;
  std::int64_t Size;
  std::string Date;  // "YYYY-MM-DD HH:MM"
};

struct TLineCase {
  std::string Line;
  TExpected Entry;
};

TListingEntries Parse(TListingParserKind kind, std::string_view text, TDate today = TestToday) {
  TListingEntries entries;
  TListingParser(kind, today).Parse(text, entries);
  return entries;
}

void ExpectEntry(const TListingEntry& actual, const TExpected& expected, const std::string& where) {
  EXPECT_EQ(actual.Name, expected.Name) << where;
  EXPECT_EQ(actual.Attributes, expected.Attributes) << where;
  EXPECT_EQ(actual.Size, expected.Size) << where;
  EXPECT_EQ(FormatDateTimeISO(actual.Date), expected.Date) << where;
}

void ExpectLines(TListingParserKind kind, const std::vector<TLineCase>& cases) {
  for (const TLineCase& c : cases) {
    const TListingEntries entries = Parse(kind, c.Line + "\r\n");
    ASSERT_EQ(entries.size(), 1u) << c.Line;
    ExpectEntry(entries[0], c.Entry, c.Line);
  }
}

void ExpectNoEntry(TListingParserKind kind, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    const TListingEntries entries = Parse(kind, line + "\r\n");
    EXPECT_TRUE(entries.empty()) << line << " gave " << entries.front().Name;
  }
}

// ---------------------------------------------------------------------------------------------
// TDateTime

TEST(DateTime, EncodesKnownSerials) {
  struct TCase {
    int Y, M, D, H, N;
    TDateTime Expected;
  };
  const TCase cases[] = {
      {1899, 12, 30, 0, 0, 0},         {1900, 1, 1, 0, 0, 2},      {2000, 1, 1, 0, 0, 36526},
      {1999, 12, 24, 10, 30, 36518.4375}, {2024, 2, 29, 0, 0, 45351}, {1899, 12, 29, 6, 0, -1.25},
      {1, 1, 1, 0, 0, -693593},        {9999, 12, 31, 23, 59, 2958465 + 1439.0 / 1440},
      {1899, 12, 30, 12, 0, 0.5},      {2000, 2, 29, 0, 0, 36585},
  };
  for (const TCase& c : cases) {
    TDateTime value = 0;
    ASSERT_TRUE(TryEncodeDateTime(c.Y, c.M, c.D, c.H, c.N, 0, 0, value)) << c.Y << "-" << c.M << "-" << c.D;
    EXPECT_NEAR(value, c.Expected, 1e-9) << c.Y << "-" << c.M << "-" << c.D;
    const TDateTimeParts back = DecodeDateTime(value);
    EXPECT_EQ(back, (TDateTimeParts{c.Y, c.M, c.D, c.H, c.N, 0, 0})) << value;
  }
}

TEST(DateTime, RejectsOutOfRangeParts) {
  struct TCase {
    int Y, M, D, H, N, S, Ms;
  };
  const TCase cases[] = {
      {2023, 2, 29, 0, 0, 0, 0}, {1900, 2, 29, 0, 0, 0, 0}, {2024, 13, 1, 0, 0, 0, 0},
      {2024, 0, 1, 0, 0, 0, 0},  {0, 1, 1, 0, 0, 0, 0},     {10000, 1, 1, 0, 0, 0, 0},
      {2024, 4, 31, 0, 0, 0, 0}, {2024, 1, 0, 0, 0, 0, 0},  {2024, 1, 1, 24, 0, 0, 0},
      {2024, 1, 1, 0, 60, 0, 0}, {2024, 1, 1, -1, 0, 0, 0}, {2024, 1, 1, 0, 0, 60, 0},
      {2024, 1, 1, 0, 0, 0, 1000},
  };
  for (const TCase& c : cases) {
    TDateTime value = 123;
    EXPECT_FALSE(TryEncodeDateTime(c.Y, c.M, c.D, c.H, c.N, c.S, c.Ms, value))
        << c.Y << "-" << c.M << "-" << c.D << " " << c.H << ":" << c.N << ":" << c.S << "." << c.Ms;
    EXPECT_EQ(value, 123);
  }
  EXPECT_THROW((void)EncodeDate(2023, 2, 29), std::out_of_range);
  const int monthEnds[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  for (int m = 1; m <= 12; ++m)
    EXPECT_TRUE(IsValidDate(2023, m, monthEnds[m - 1]) && !IsValidDate(2023, m, monthEnds[m - 1] + 1)) << m;
  TDateTime last = 0;
  EXPECT_TRUE(TryEncodeDateTime(2024, 1, 1, 23, 59, 59, 999, last));
}

// Floating fractions such as 10:30 are not exact; decoding must not come out a minute short.
TEST(DateTime, DecodesEveryMinuteOfADayExactly) {
  for (const int year : {1850, 2024}) {
    for (int minute = 0; minute < 24 * 60; ++minute) {
      const TDateTime value = EncodeDateTime(year, 6, 15, minute / 60, minute % 60);
      const TDateTimeParts p = DecodeDateTime(value);
      ASSERT_EQ(p, (TDateTimeParts{year, 6, 15, minute / 60, minute % 60, 0, 0})) << year << " " << minute;
    }
  }
}

TEST(DateTime, RoundingCarriesIntoTheNextDay) {
  const TDateTimeParts p = DecodeDateTime(EncodeDate(2024, 12, 31) + 0.99999999999);
  EXPECT_EQ(p, (TDateTimeParts{2025, 1, 1, 0, 0, 0, 0}));
  EXPECT_EQ(FormatDateTimeISO(EncodeDate(2024, 12, 31) + 0.99999999999), "2025-01-01 00:00");
}

TEST(DateTime, FormatsAndConvertsThroughTheSystemClock) {
  EXPECT_EQ(FormatDateTimeISO(EncodeDateTime(2005, 12, 31, 0, 5)), "2005-12-31 00:05");
  EXPECT_EQ(FormatDateTimeISO(EncodeDateTime(987, 3, 4, 23, 59)), "0987-03-04 23:59");

  for (const TDateTime local : {EncodeDateTime(2021, 3, 14, 15, 9, 26, 535), EncodeDateTime(1960, 5, 6, 7, 8, 9, 250)})
    EXPECT_EQ(DecodeDateTime(FromTimePoint(ToTimePoint(local))), DecodeDateTime(local));  // also before 1970

  const auto now = std::chrono::system_clock::now();
  const auto back = ToTimePoint(FromTimePoint(now));
  EXPECT_LE(std::chrono::abs(back - now), std::chrono::milliseconds(1));
  const TDate today = ferrowin::Today();
  const TDate fromNow = DecodeDate(Now());
  EXPECT_TRUE(today == fromNow || today.Day != fromNow.Day);  // equal unless midnight passed
}

// ---------------------------------------------------------------------------------------------
// Shared field rules

TEST(ParserFields, LenientInteger) {
  struct TCase {
    std::string_view Text;
    std::int64_t Expected;
  };
  const TCase cases[] = {
      {"1234", 1234}, {"  42", 42}, {"-7", -7}, {"+7", 7}, {"007", 7}, {"(12)", 12},
      {"x9y", 9}, {"3\xD4\xC2", 3}, {"29\xC8\xD5", 29}, {"12/24", -1}, {"33.5k", -1},
      {"1,024", -1}, {"abc", -1}, {"", -1}, {"-", -1}, {"5000000000", 5000000000},
      {"9223372036854775807", INT64_MAX}, {"-9223372036854775808", INT64_MIN},
      {"9223372036854775808", -1}, {"99999999999999999999", -1}, {"12 ", 12}, {"[1]x", 1},
  };
  for (const TCase& c : cases) EXPECT_EQ(parsers::LenientInt(c.Text), c.Expected) << c.Text;
  // Dates and times must not wrap a huge number into a plausible one.
  EXPECT_EQ(parsers::LenientField("4294967301"), -1);
}

TEST(ParserFields, PermissionBits) {
  struct TCase {
    std::string_view Line;
    std::uint16_t Expected;
  };
  const TCase cases[] = {
      {"-rw-r--r--", RwRR},
      {"drwxr-xr-x 2", faDirectory | RwxRxRx},
      {"lrwxrwxrwx", faSymLink | AllRights},
      {"d--S--S--t", faDirectory},
      {"-RWXRWXRWX", 0},
      {"-rw", faOwnerRead | faOwnerWrite},
      {"d [RWCEAFMS]", faDirectory},
      {"", 0},
      {"-r-x--x--xrwx", faOwnerRead | faOwnerExecute | faGroupExecute | faOthersExecute},
  };
  for (const TCase& c : cases) EXPECT_EQ(parsers::PermissionBits(c.Line), c.Expected) << c.Line;
}

TEST(ParserFields, WordsSplitOnSpacesOnlyAndStopAtTheTable) {
  parsers::TWords words;
  parsers::SplitWords("  a\tb  c ", words);
  ASSERT_EQ(words.Count, 2);
  EXPECT_EQ(words[0], "a\tb");
  EXPECT_EQ(words[1], "c");
  EXPECT_EQ(words[2], "");

  std::string many;
  for (int i = 0; i < 100; ++i) many += "w" + std::to_string(i) + " ";
  parsers::SplitWords(many, words);
  EXPECT_EQ(words.Count, parsers::TWords::Capacity);
  EXPECT_EQ(words[63], "w63");
  EXPECT_EQ(words[64], "");
}

// ---------------------------------------------------------------------------------------------
// Listing parsers

// A line holding just an entry's text (in upper case where the table compares in lower case)
// must give that entry's type: an earlier entry that matches it too would hide it for ever.
TEST(ServerTypes, EveryDetectionEntryCanMatch) {
  using TDetect = int (*)(const std::vector<std::string>&);
  const struct {
    const char* Name;
    TDetectionTable Table;
    TDetect Detect;
  } tables[] = {
      {"welcome", WelcomeDetectionTable(), ServerTypeFromWelcome},
      {"SYST", SystDetectionTable(), ServerTypeFromSyst},
      {"HELP", HelpDetectionTable(), ServerTypeFromHelp},
  };
  auto upper = [](std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
  };
  auto swapCase = [](std::string text) {
    for (char& c : text) {
      const auto u = static_cast<unsigned char>(c);
      c = static_cast<char>(std::isupper(u) ? std::tolower(u) : std::toupper(u));
    }
    return text;
  };
  for (const auto& t : tables) {
    ASSERT_FALSE(t.Table.Entries.empty()) << t.Name;
    for (std::size_t i = 0; i < t.Table.Entries.size(); ++i) {
      const TServerTypeXRef& entry = t.Table.Entries[i];
      const std::string text(entry.Text);
      const bool lowerCase = i >= t.Table.FirstLowerCase;
      const std::string line = "2xx " + (lowerCase ? upper(text) : text) + " x";
      SCOPED_TRACE(std::string(t.Name) + " entry " + std::to_string(i) + ": " + line);
      EXPECT_EQ(t.Detect({line}), entry.ServerType);
      EXPECT_EQ(t.Detect({"220-nothing to see", line}), entry.ServerType);  // later lines count
      if (!lowerCase) {
        EXPECT_EQ(t.Detect({"2xx " + swapCase(text) + " x"}), 0);  // case counts
      }
    }
  }
}

// The parser a server type chooses, seen through a listing line of each style: another parser
// gives another entry or none.
TEST(ServerTypes, ChooseTheParserOfTheirListings) {
  const std::string unix = "-rw-r--r--   1 owner group   1234 Jan 05 10:30 notes.txt";
  const std::string dos = "01-23-99  10:30PM       1024 My File.txt";
  const std::string vm = "OMA00215 PLAN     V         64         28          1  6/26/02  9:33:21 -";
  const std::string vms = "SUBDIR.DIR;1  1/3  1-JAN-2000 00:00:00  [G,U]  (RWE,RWE,RE,)";
  const struct {
    int ServerType;
    const std::string& Line;
    std::string Name;  // "" = no entry
  } cases[] = {
      {0, unix, "notes.txt"},  {11, unix, "notes.txt"}, {34, unix, "notes.txt"}, {52, unix, "notes.txt"},
      {4, unix, "notes.txt"},  {6, unix, "notes.txt"},  {16, unix, "notes.txt"}, {18, unix, "notes.txt"},
      {17, dos, "My File.txt"}, {17, unix, "notes.txt"}, {5, vm, "OMA00215.PLAN"}, {12, vms, "SUBDIR"},
      {13, vms, "SUBDIR"},     {1, unix, ""},           {1, dos, ""},
  };
  for (const auto& c : cases) {
    const TListingEntries entries = Parse(ParserFor(c.ServerType), c.Line + "\r\n");
    const std::string got = entries.size() == 1 ? entries[0].Name : std::to_string(entries.size()) + " entries";
    EXPECT_EQ(got, c.Name.empty() ? "0 entries" : c.Name) << "type " << c.ServerType << ": " << c.Line;
  }
  EXPECT_EQ(ServerTypeName(0), "Automatic Detect");
  EXPECT_EQ(ServerTypeName(ServerTypeCount - 1), "Passport 160");
  EXPECT_EQ(ServerTypeName(ServerTypeCount), "");
  EXPECT_EQ(ServerTypeName(-1), "");
}

TEST(UnixParser, Lines) {
  ExpectLines(TListingParserKind::Unix, {
      // GNU ls -l; today is 15 June 2024, so later months are last year's.
      {"-rw-r--r--   1 owner group   1234 Jan 05 10:30 notes.txt", {"notes.txt", RwRR, 1234, "2024-01-05 10:30"}},
      {"-rw-r--r--   1 owner group   1234 Dec 05 10:30 notes.txt", {"notes.txt", RwRR, 1234, "2023-12-05 10:30"}},
      {"-rw-r--r--   1 owner group      1 Jun 15 08:00 today", {"today", RwRR, 1, "2024-06-15 08:00"}},
      {"-rw-r--r--   1 owner group      1 Jun 16 08:00 tomorrow", {"tomorrow", RwRR, 1, "2023-06-16 08:00"}},
      {"-rw-r--r--   1 owner group      1 Jan 05 10:30:15 seconds", {"seconds", RwRR, 1, "2024-01-05 10:30"}},
      {"drwxr-xr-x   2 owner group    512 Mar 1 1999 old dir", {"old dir", faDirectory | RwxRxRx, 0, "1999-03-01 00:00"}},
      {"lrwxrwxrwx 1 root root 7 Feb 2 09:15 bin -> usr/bin", {"bin -> usr/bin", faSymLink | AllRights, 7, "2024-02-02 09:15"}},
      {"-rw-r--r-- 1 user group 5000000000 Mar  3  2021 big.iso", {"big.iso", RwRR, 5000000000, "2021-03-03 00:00"}},
      // BSD ls -l, busybox (single-digit hours).
      {"drwxr-xr-x  5 root  wheel  512 Dec 31  2019 .snap", {".snap", faDirectory | RwxRxRx, 0, "2019-12-31 00:00"}},
      {"-rw-r--r--  1 wheel  staff  1234 Jan  5 10:30 notes.txt", {"notes.txt", RwRR, 1234, "2024-01-05 10:30"}},
      {"-rwxr-xr-x    1 root     root        45678 Jan  5  9:07 busybox-run", {"busybox-run", RwxRxRx, 45678, "2024-01-05 09:07"}},
      {"-rw-r--r-- 1 root     other     531 Mar 25 0:23 early", {"early", RwRR, 531, "2024-03-25 00:23"}},
      // No group column: the month is found further left.
      {"-rw-r--r--   1 owner   1234 Jan 05 10:30 nogroup", {"nogroup", RwRR, 1234, "2024-01-05 10:30"}},
      // NetWare: rights in brackets, no link count.
      {"d [RWCEAFMS] owner 512 Jan 05 10:30 Public Files", {"Public Files", faDirectory, 0, "2024-01-05 10:30"}},
      {"- [RWCEAFMS] owner 214059 Oct 20 15:27 report.doc", {"report.doc", 0, 214059, "2023-10-20 15:27"}},
      // Out-of-range dates fall back to 1 January of this year.
      {"-rw-r--r-- 1 owner group 10 Feb 30 2020 feb30", {"feb30", RwRR, 10, "2024-01-01 00:00"}},
      {"-rw-r--r-- 1 owner group 10 Jan 05 25:30 late", {"late", RwRR, 10, "2024-01-01 00:00"}},
      {"-rw-r--r-- 1 owner group 10 Jan 05 10:30 ..", {"..", RwRR, 10, "2024-01-05 10:30"}},
      {"drwxr-xr-x 2 owner group 512 Jan 05 10:30 ...", {"...", faDirectory | RwxRxRx, 0, "2024-01-05 10:30"}},
      // Sizes that are not numbers.
      {"-rw-r--r-- 1 owner group -5 Jan 05 10:30 negative", {"negative", RwRR, 0, "2024-01-05 10:30"}},
      {"-rw-r--r-- 1 owner group 33.5k Oct 5 21:22 named", {"named", RwRR, 0, "2023-10-05 21:22"}},
      // Tabs belong to words; inner and trailing characters of the name are kept.
      {"-rw-r--r-- 1 owner group 10 Jan 05 10:30 a\tb  c", {"a\tb  c", RwRR, 10, "2024-01-05 10:30"}},
      // Month and day in GB2312 characters.
      {"-rw-r--r-- 1 root other 531 3\xD4\xC2 29\xC8\xD5 03:26 gb.txt", {"gb.txt", RwRR, 531, "2024-03-29 03:26"}},
      {"-rw-r--r-- 1 root other 531 12\xD4\xC2 1\xC8\xD5 03:26 gb2.txt", {"gb2.txt", RwRR, 531, "2023-12-01 03:26"}},
      {"drwxr-xr-x 2 root other 512 2003 3\xD4\xC2 29\xC8\xD5 gbdir", {"gbdir", faDirectory | RwxRxRx, 0, "2003-03-29 00:00"}},
      // The month character only in the name: an ordinary line.
      {"-rw-r--r-- 1 owner group 10 Jan 05 10:30 \xD4\xC2.txt", {"\xD4\xC2.txt", RwRR, 10, "2024-01-05 10:30"}},
  });
}

TEST(UnixParser, LinesWithoutEntries) {
  ExpectNoEntry(TListingParserKind::Unix, {
      "total 12",
      "",
      "     ",
      "drwxr-xr-x   2 owner group    512 Jan 05 10:30 .",
      "drwxr-xr-x   2 owner group    512 Jan 05 10:30 ..",
      "-rw-r--r--   1 owner group   1234 Jan 05 10:30",  // no name
      "-rw-r--r--   1 owner group",
  });
}

TEST(UnixParser, YearInferenceFollowsToday) {
  const std::string line = "-rw-r--r-- 1 u g 1 Mar 01 12:00 f\r\n";
  struct TCase {
    TDate TestToday;
    std::string Date;
  };
  const TCase cases[] = {
      {{2024, 3, 1}, "2024-03-01 12:00"},   {{2024, 2, 29}, "2023-03-01 12:00"},
      {{2024, 3, 2}, "2024-03-01 12:00"},   {{2025, 1, 1}, "2024-03-01 12:00"},
      {{2024, 12, 31}, "2024-03-01 12:00"},
  };
  for (const TCase& c : cases) {
    const TListingEntries entries = Parse(TListingParserKind::Unix, line, c.TestToday);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(FormatDateTimeISO(entries[0].Date), c.Date) << c.TestToday.Year << "-" << c.TestToday.Month << "-" << c.TestToday.Day;
  }
  // Feb 29 without a year: last year's in January 2025, but this year has none in March 2025.
  const std::string feb29 = "-rw-r--r-- 1 u g 1 Feb 29 12:00 f\r\n";
  const TListingEntries january = Parse(TListingParserKind::Unix, feb29, {2025, 1, 10});
  const TListingEntries march = Parse(TListingParserKind::Unix, feb29, {2025, 3, 10});
  ASSERT_EQ(january.size(), 1u);
  ASSERT_EQ(march.size(), 1u);
  EXPECT_EQ(FormatDateTimeISO(january[0].Date), "2024-02-29 12:00");
  EXPECT_EQ(FormatDateTimeISO(march[0].Date), "2025-01-01 00:00");
}

TEST(UnixParser, LongLinesKeepTheWholeName) {
  std::string name;
  for (int i = 0; i < 150; ++i) name += (i ? " w" : "w") + std::to_string(i);
  const TListingEntries entries =
      Parse(TListingParserKind::Unix, "-rw-r--r-- 1 owner group 77 Jan 05 10:30 " + name + "\n");
  ASSERT_EQ(entries.size(), 1u);
  ExpectEntry(entries[0], {name, RwRR, 77, "2024-01-05 10:30"}, "long line");

  // No month anywhere: the name still runs from word 8 to the end, past the table.
  std::string words = "-rw-r--r-- 1 owner group 12 q q q";
  for (int i = 0; i < 200; ++i) words += " n" + std::to_string(i);
  const TListingEntries noMonth = Parse(TListingParserKind::Unix, words);
  ASSERT_EQ(noMonth.size(), 1u);
  EXPECT_EQ(noMonth[0].Name, words.substr(words.find("n0")));
  EXPECT_EQ(noMonth[0].Size, 12);
}

TEST(UnixParser, ListingLinesAndEndings) {
  const std::string text =
      "total 12\r\n"
      "drwxr-xr-x   2 owner group    512 Jan 05 10:30 .\r\n\r\n"
      "-rw-r--r--   1 owner group   1 Jan 05 10:30 one\r"
      "-rw-r--r--   1 owner group   2 Jan 05 10:30 two\n\n"
      "-rw-r--r--   1 owner group   3 Jan 05 10:30 three";
  std::vector<std::string> lines;
  TListingParser parser(TListingParserKind::Unix, TestToday);
  parser.OnLine = [&](std::string_view line) { lines.emplace_back(line); };
  std::vector<std::string> traced;
  parser.OnEntry = [&](const TListingEntry& e) { traced.push_back(e.Name); };
  TListingEntries entries;
  parser.Parse(text + std::string("\0-rw-r--r-- 1 o g 4 Jan 05 10:30 hidden\r\n", 41), entries);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "total 12");
  EXPECT_EQ(lines[2], "-rw-r--r--   1 owner group   1 Jan 05 10:30 one");
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].Name, "one");
  EXPECT_EQ(entries[1].Name, "two");
  EXPECT_EQ(entries[2].Name, "three");
  EXPECT_EQ(traced, (std::vector<std::string>{"one", "two", "three"}));
}

TEST(UnixParser, AnExceptionLosesOnlyItsLine) {
  TListingParser parser(TListingParserKind::Unix, TestToday);
  std::vector<std::string> seen;
  parser.OnEntry = [&](const TListingEntry& e) {
    if (e.Name == "bad") throw std::runtime_error("handler failed");
    seen.push_back(e.Name);
  };
  TListingEntries entries;
  parser.Parse(
      "-rw-r--r-- 1 o g 1 Jan 05 10:30 a\r\n"
      "-rw-r--r-- 1 o g 1 Jan 05 10:30 bad\r\n"
      "-rw-r--r-- 1 o g 1 Jan 05 10:30 c\r\n",
      entries);
  EXPECT_EQ(seen, (std::vector<std::string>{"a", "c"}));
}

TEST(DosParser, Lines) {
  ExpectLines(TListingParserKind::Dos, {
      {"01-23-99  10:30PM       <DIR>          My Folder", {"My Folder", faDirectory, 0, "1999-01-23 22:30"}},
      {"12-31-05  12:05AM  1024 a.txt", {"a.txt", 0, 1024, "2005-12-31 00:05"}},
      {"06-15-24  12:00PM           5000000000 big.bin", {"big.bin", 0, 5000000000, "2024-06-15 12:00"}},
      {"04-06-00  03:47PM                  589 17-dos file", {"17-dos file", 0, 589, "2000-04-06 15:47"}},
      {"05-26-80  10:57am               143712 $LDR$", {"$LDR$", 0, 143712, "1980-05-26 10:57"}},
      {"01-01-79  01:00AM                    1 y2079", {"y2079", 0, 1, "2079-01-01 01:00"}},
      {"01-23-99  10:30PM       <dir>          lower", {"lower", 0, 0, "1999-01-23 22:30"}},
      {"02-30-99  10:30PM                    1 bad-date", {"bad-date", 0, 1, "2024-01-01 00:00"}},
      // Servers switched to UNIX-style listings.
      {"-rw-r--r--   1 owner group   1234 Jan 05 10:30 notes.txt", {"notes.txt", RwRR, 1234, "2024-01-05 10:30"}},
      {"drwxr-xr-x   2 owner group    512 Mar 1 1999 old dir", {"old dir", faDirectory | RwxRxRx, 0, "1999-03-01 00:00"}},
  });
  ExpectNoEntry(TListingParserKind::Dos, {
      "01-23-99  10:30PM       <DIR>          .",
      "01-23-99  10:30PM       <DIR>          ..",
      "01-23-99  10:30PM  12",
      "2002-09-02  18:48       <DIR>          longyear",
      "01-23-99",
  });
}

TEST(DosParser, MixedListing) {
  const TListingEntries entries = Parse(TListingParserKind::Dos,
                                        "01-23-99  10:30PM       <DIR>          My Folder\r\n"
                                        "total 3\r\n"
                                        "-rw-r--r--   1 owner group   1 Jan 05 10:30 unix.txt\r\n"
                                        "12-31-05  12:05AM  1024 a.txt\r\n");
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].Name, "My Folder");
  EXPECT_EQ(entries[1].Name, "unix.txt");
  EXPECT_EQ(entries[2].Name, "a.txt");
}

TEST(VMParser, Lines) {
  ExpectLines(TListingParserKind::VM, {
      {"70-ZVMFILE  TRACE   V        65      107        2 2005-10-04 15:28:42 060191", {"70-ZVMFILE.TRACE", 0, 65, "2024-06-15 00:00"}},
      {"OMA00215 PLAN     V         64         28          1  6/26/02  9:33:21 -", {"OMA00215.PLAN", 0, 64, "2024-06-15 00:00"}},
      {"WEBSHARE          DIR        -          -          -  5/30/97 18:44:17 -", {"WEBSHARE.DIR", 0, 0, "2024-06-15 00:00"}},
  });
  ExpectNoEntry(TListingParserKind::VM, {"A B C D E F G", ""});
}

TEST(VMSParser, ListingWithWrappedNames) {
  const std::string text =
      "Directory USER1:[TEST]\r\n"
      "\r\n"
      "LONGNAME.TXT;3\r\n"
      "          12  24-DEC-1999 10:30:15  [G,U]  (RWED,RWED,RE,)\r\n"
      "SUBDIR.DIR;1  1/3  1-JAN-2000 00:00:00  [G,U]  (RWE,RWE,RE,)\r\n"
      "BIG.ISO;1  9765625  1-JAN-2020 00:00:00  [G,U]  (RWED,RWED,RE,)\r\n"
      "MIXED.TXT;2  4  7-Dec-2001 09:05:59  [G,U]  (RWED,RWED,RE,)\r\n"
      "WRAPPED.DAT;1\r\n"
      "170774/170775     24-APR-2003 08:16:15  [FTP_CLIENT,SCOT]      (RWED,RWED,RE,)\r\n"
      "NOTIME.TXT;1    2/8    7-JAN-2000    [IV2_XXX]   (RWED,RWED,RE,)\r\n"
      "BADDATE.TXT;1   1  31-FEB-2000 10:00:00\r\n"
      ".DIR;1   1  1-JAN-2000 10:00:00\r\n"
      "\r\n"
      "Total of 8 files, 9765644/9765700 blocks.\r\n";
  const std::vector<TExpected> expected = {
      {"LONGNAME.TXT", 0, 6144, "1999-12-24 10:30"},
      {"SUBDIR", faDirectory, 0, "2000-01-01 00:00"},
      {"BIG.ISO", 0, 5000000000, "2020-01-01 00:00"},
      {"MIXED.TXT", 0, 2048, "2001-12-07 09:05"},
      {"WRAPPED.DAT", 0, 0, "2003-04-24 08:16"},
      {"NOTIME.TXT", 0, 0, "2024-01-01 00:00"},
      {"BADDATE.TXT", 0, 512, "2024-01-01 00:00"},
  };
  const TListingEntries entries = Parse(TListingParserKind::VMS, text);
  ASSERT_EQ(entries.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) ExpectEntry(entries[i], expected[i], expected[i].Name);
}

TEST(VMSParser, PendingNameStaysWithItsListing) {
  TListingParser parser(TListingParserKind::VMS, TestToday);
  TListingEntries entries;
  parser.Parse("ORPHAN.TXT;1\r\n", entries);
  parser.Parse("          5  1-JAN-2000 00:00:00  [G,U]  (RWED,RWED,RE,)\r\n", entries);
  EXPECT_TRUE(entries.empty());
}

// Sizes are counts of 512-byte blocks; a negative count, or one whose bytes do not fit in 64
// bits, gives 0 rather than a wrapped size.
TEST(VMSParser, BlockCountsWithoutOverflow) {
  const struct {
    std::string Blocks;
    std::int64_t Size;
  } cases[] = {
      {"2", 1024},
      {"12/24", 0},
      {"-1", 0},
      {"-99999999999999999", 0},
      {"18014398509481983", 9223372036854775296},
      {"18014398509481984", 0},
      {"99999999999999999", 0},
  };
  for (const auto& c : cases)
    ExpectLines(TListingParserKind::VMS, {{"F.DAT;1  " + c.Blocks + "  1-JAN-2000 00:00:00", {"F.DAT", 0, c.Size, "2000-01-01 00:00"}}});
}

// One line per month, through the parsers that read month names: UNIX and VMS (upper case).
TEST(ParserFields, EveryMonthName) {
  const struct {
    const char* Unix;
    const char* Vms;
    const char* Date;
  } months[] = {
      {"Jan", "JAN", "2001-01-15"}, {"Feb", "FEB", "2001-02-15"}, {"Mar", "MAR", "2001-03-15"},
      {"Apr", "APR", "2001-04-15"}, {"May", "May", "2001-05-15"}, {"Jun", "JUN", "2001-06-15"},
      {"Jul", "JUL", "2001-07-15"}, {"Aug", "AUG", "2001-08-15"}, {"Sep", "SEP", "2001-09-15"},
      {"Oct", "OCT", "2001-10-15"}, {"Nov", "NOV", "2001-11-15"}, {"Dec", "dec", "2001-12-15"},
  };
  for (const auto& m : months) {
    ExpectLines(TListingParserKind::Unix,
                {{std::string("-rw-r--r-- 1 o g 7 ") + m.Unix + " 15 2001 f", {"f", RwRR, 7, m.Date + std::string(" 00:00")}}});
    ExpectLines(TListingParserKind::VMS,
                {{std::string("F.TXT;1  1  15-") + m.Vms + "-2001 08:30:00", {"F.TXT", 0, 512, m.Date + std::string(" 08:30")}}});
  }
}

// ---------------------------------------------------------------------------------------------
// Real listings: every record of the corpus through the parser of its style. There are no
// expected results, only what must hold for any line.

std::string ToWireBytes(const std::string& utf8, std::string encoding) {
  if (encoding.empty() || encoding == "latin-1") encoding = "ISO-8859-1";
  if (encoding == "utf-8") return utf8;
  iconv_t cd = iconv_open(encoding.c_str(), "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no iconv for " + encoding);
  std::string out(utf8.size() * 4 + 4, '\0');
  char* in = const_cast<char*>(utf8.data());
  std::size_t inLeft = utf8.size();
  char* dest = out.data();
  std::size_t destLeft = out.size();
  const std::size_t rc = iconv(cd, &in, &inLeft, &dest, &destLeft);
  iconv_close(cd);
  if (rc == static_cast<std::size_t>(-1)) throw std::runtime_error("cannot encode in " + encoding);
  out.resize(out.size() - destLeft);
  return out;
}

// Just enough JSON for the corpus records: objects, arrays and strings; other values skipped.
class TJsonRecord {
 public:
  explicit TJsonRecord(std::string_view text) : Text(text) { Object(); }
  std::string Style, Encoding, Id;
  std::vector<std::string> Lines;

 private:
  std::string_view Text;
  std::size_t Pos = 0;

  void Space() {
    while (Pos < Text.size() && std::isspace(static_cast<unsigned char>(Text[Pos]))) ++Pos;
  }
  void Expect(char c) {
    Space();
    if (Pos >= Text.size() || Text[Pos] != c) throw std::runtime_error(std::string("expected ") + c);
    ++Pos;
  }
  static void AppendUtf8(std::string& out, unsigned cp) {
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | cp >> 6);
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | cp >> 12);
      out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | cp >> 18);
      out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
      out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  unsigned Hex4() {
    const unsigned v = static_cast<unsigned>(std::stoul(std::string(Text.substr(Pos, 4)), nullptr, 16));
    Pos += 4;
    return v;
  }
  std::string String() {
    Expect('"');
    std::string out;
    while (Pos < Text.size() && Text[Pos] != '"') {
      char c = Text[Pos++];
      if (c != '\\') {
        out += c;
        continue;
      }
      c = Text[Pos++];
      switch (c) {
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'u': {
          unsigned cp = Hex4();
          if (cp >= 0xD800 && cp < 0xDC00 && Text.substr(Pos, 2) == "\\u") {
            Pos += 2;
            cp = 0x10000 + ((cp - 0xD800) << 10) + (Hex4() - 0xDC00);
          }
          AppendUtf8(out, cp);
          break;
        }
        default: out += c;
      }
    }
    Expect('"');
    return out;
  }
  void Skip() {
    Space();
    if (Text[Pos] == '"') {
      String();
    } else if (Text[Pos] == '[' || Text[Pos] == '{') {
      int depth = 0;
      do {
        if (Text[Pos] == '"') {
          String();
          continue;
        }
        if (Text[Pos] == '[' || Text[Pos] == '{') ++depth;
        if (Text[Pos] == ']' || Text[Pos] == '}') --depth;
        ++Pos;
      } while (depth > 0);
    } else {
      while (Pos < Text.size() && Text[Pos] != ',' && Text[Pos] != '}') ++Pos;
    }
  }
  void Object() {
    Expect('{');
    Space();
    while (Pos < Text.size() && Text[Pos] != '}') {
      const std::string key = String();
      Expect(':');
      if (key == "style") {
        Style = String();
      } else if (key == "encoding") {
        Encoding = String();
      } else if (key == "id") {
        Id = String();
      } else if (key == "lines") {
        Expect('[');
        Space();
        while (Text[Pos] != ']') {
          Lines.push_back(String());
          Space();
          if (Text[Pos] == ',') ++Pos;
          Space();
        }
        ++Pos;
      } else {
        Skip();
      }
      Space();
      if (Pos < Text.size() && Text[Pos] == ',') ++Pos;
      Space();
    }
  }
};

std::vector<TJsonRecord> ReadCorpus() {
  std::ifstream file(FERROWIN_CORPUS_PATH, std::ios::binary);
  if (!file) throw std::runtime_error("cannot read " FERROWIN_CORPUS_PATH);
  std::vector<TJsonRecord> records;
  for (std::string json; std::getline(file, json);)
    if (!json.empty()) records.emplace_back(json);
  return records;
}

TListingEntries ParseRecord(const TJsonRecord& record) {
  const TListingParserKind kind = record.Style == "dos"   ? TListingParserKind::Dos
                                  : record.Style == "vms" ? TListingParserKind::VMS
                                  : record.Style == "vm"  ? TListingParserKind::VM
                                                          : TListingParserKind::Unix;
  std::string wire;
  for (const std::string& line : record.Lines) wire += ToWireBytes(line, record.Encoding) + "\r\n";
  return Parse(kind, wire);
}

// A guard against crashes and garbage on every line; the lines below check the fields too.
TEST(Corpus, RealListingsKeepTheInvariants) {
  const std::vector<TJsonRecord> records = ReadCorpus();
  std::size_t lines = 0, entriesTotal = 0;
  for (const TJsonRecord& record : records) {
    const TListingEntries entries = ParseRecord(record);
    lines += record.Lines.size();
    EXPECT_LE(entries.size(), record.Lines.size()) << record.Id;
    for (const TListingEntry& e : entries) {
      EXPECT_FALSE(e.Name.empty()) << record.Id;
      EXPECT_EQ(e.Name.find_first_of(std::string("\r\n\0", 3)), std::string::npos) << record.Id;
      EXPECT_GE(e.Size, 0) << record.Id;
      EXPECT_FALSE((e.Attributes & faDirectory) && (e.Name == "." || e.Name == "..")) << record.Id;
      EXPECT_EQ(e.Attributes & ~0x7FF, 0) << record.Id;
      const TDate d = DecodeDate(e.Date);
      EXPECT_TRUE(IsValidDate(d.Year, d.Month, d.Day)) << record.Id << " " << e.Date;
      EXPECT_TRUE(std::isfinite(e.Date)) << record.Id;
    }
    entriesTotal += entries.size();
  }
  EXPECT_GE(records.size(), 1000u);
  // Most lines of real listings are entries; a parser that drops them wholesale fails here.
  EXPECT_GT(entriesTotal, lines / 2) << entriesTotal << " entries from " << lines << " lines";
}

// Real lines from many servers, each read by hand: the one entry each record gives. Today is
// 15 June 2024, so "Jun 30 09:52" is last year's.
TEST(Corpus, RealLinesGiveTheirFields) {
  const struct {
    std::string Id;
    std::string Name;  // as in the record; encoded like its lines
    bool Folder;
    std::int64_t Size;
    std::string Date;
  } cases[] = {
      // UNIX
      {"cu-0016", "UNIX", true, 0, "2008-11-01 00:00"},
      {"cr-0263", "GRBRATLIN_4_77_ia32_4.77_S0@874222@20701.rpm.Z", false, 121591811, "2024-04-05 13:43"},
      {"cr-0143", "pub", true, 0, "2023-06-30 09:52"},
      {"cn-0009", "zxJDBC-1.2.3.zip", false, 119926, "2000-08-22 00:00"},
      {"cn-0058", "zxbox", true, 0, "2024-03-02 15:13"},
      {"cr-0170", "site -> vol/1/.CLUSTER/var_ftp/site", false, 27, "2007-10-16 00:00"},
      {"cr-0329", "rootcert.der", false, 1328, "2007-12-27 00:00"},
      {"cr-0268", "decus", true, 0, "2005-02-26 00:00"},
      {"cr-0228", "Çåðêàëà_[Ðàñøèðåííàÿ_âåðñèÿ]_-_Mirrors_[Unrated_Edition]-(2008)-[1080p]_[BD_remux].mkv", false,
       22169179449, "2009-03-16 00:00"},
      {"rb-0030", "imap with spaces.rb", false, 101426, "2008-06-07 00:00"},
      {"cr-0257", "bin", true, 0, "2023-07-27 23:21"},
      {"cr-0139", "bin -> usr/bin", false, 7, "2005-09-01 00:00"},
      {"cn-0005", "zzplayer", true, 0, "2001-02-23 00:00"},
      {"cn-0061", "zxbox", false, 4096, "2024-03-02 15:13"},
      {"jl-0029", "cx.exe", false, 214059, "2023-10-20 15:27"},
      {"nf-0006", "tmp", true, 0, "2012-05-19 00:00"},
      {"fu-0022", "some_dir", true, 0, "1999-09-20 00:00"},
      // DOS
      {"cu-0027", "someothertext.txt", false, 47, "2010-04-27 11:01"},
      {"cn-0102", "10 years and under", true, 0, "1996-12-03 18:38"},
      {"cr-0470", "Mb.eng", false, 83933, "2009-01-06 14:38"},
      {"cn-0252", "太公望.txt", false, 8, "2013-07-17 13:49"},
      {"fz-0016", "16-dos-dateambiguous dir", true, 0, "2000-04-27 12:09"},
      {"cr-0082", "what does ZM mean", false, 0, "2010-12-25 12:00"},
      {"bf-0010", "MYFILE.INI", false, 953, "1997-11-14 16:21"},
      {"cr-0081", "minutes out of range", false, 0, "2024-01-01 00:00"},
      // VMS, names wrapped onto a line of their own among them
      {"cn-0107", "120196.TXT", false, 0, "1997-04-14 12:45"},
      {"cr-0442", "I64", true, 512, "2008-06-22 20:07"},
      {"cn-0103", "1-JUN.LIS", false, 0, "1998-06-02 07:32"},
      {"cr-0429", "LOGIN.COM", false, 4096, "2003-11-25 20:01"},
      {"cr-0106", "X.TXT", false, 512, "2005-03-12 08:44"},
      {"cr-0095", "README.TXT", false, 0, "2000-04-18 10:40"},
      {"fz-0042", "41-vms-multiline-file", false, 5120, "2003-07-02 10:30"},
      {"cr-0367", "MAIL_ARCHIVES", true, 512, "2005-12-13 08:45"},
      {"cr-0421", "FTP_SERVER_LOG.SEARCH", false, 140288, "1993-12-07 15:54"},
      {"cr-0425", "ANON_FTP_LOG.LOG", false, 0, "2024-01-01 00:00"},
      // VM
      {"in-0003", "ENDTRACE.TCPIP", false, 80, "2024-06-15 00:00"},
  };
  const std::vector<TJsonRecord> records = ReadCorpus();
  for (const auto& c : cases) {
    const auto record = std::find_if(records.begin(), records.end(), [&](const TJsonRecord& r) { return r.Id == c.Id; });
    ASSERT_NE(record, records.end()) << c.Id;
    const TListingEntries entries = ParseRecord(*record);
    ASSERT_EQ(entries.size(), 1u) << c.Id;
    EXPECT_EQ(entries[0].Name, ToWireBytes(c.Name, record->Encoding)) << c.Id;
    EXPECT_EQ((entries[0].Attributes & faDirectory) != 0, c.Folder) << c.Id;
    EXPECT_EQ(entries[0].Size, c.Size) << c.Id;
    EXPECT_EQ(FormatDateTimeISO(entries[0].Date), c.Date) << c.Id;
  }
}

}  // namespace
}  // namespace ferrowin
