// Listing parsers and the date value they produce.

#include <gtest/gtest.h>
#include <iconv.h>

#include <cmath>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "DateTime.h"
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

  const TDateTime local = EncodeDateTime(2021, 3, 14, 15, 9, 26, 535);
  EXPECT_EQ(DecodeDateTime(FromTimePoint(ToTimePoint(local))), DecodeDateTime(local));

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

TEST(ServerTypes, TableAndParserChoice) {
  EXPECT_EQ(ServerTypeName(0), "Automatic Detect");
  EXPECT_EQ(ServerTypeName(11), "UNIX (standard)");
  EXPECT_EQ(ServerTypeName(17), "Microsoft NT");
  EXPECT_EQ(ServerTypeName(52), "Passport 160");
  EXPECT_EQ(ServerTypeName(53), "");
  EXPECT_EQ(ServerTypeName(-1), "");
  for (int t = 0; t < ServerTypeCount; ++t) {
    EXPECT_FALSE(ServerTypeName(t).empty()) << t;
    const TListingParserKind expected = t == 1 ? TListingParserKind::None
                                        : t == 5 ? TListingParserKind::VM
                                        : t == 12 || t == 13 ? TListingParserKind::VMS
                                        : t == 17 ? TListingParserKind::Dos
                                                  : TListingParserKind::Unix;
    EXPECT_EQ(ParserFor(t), expected) << t;
  }
  EXPECT_TRUE(Parse(TListingParserKind::None, "-rw-r--r-- 1 u g 1 Jan 05 10:30 a\r\n").empty());
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

  // Block counts too large for bytes do not wrap around.
  parser.Parse("HUGE.DAT;1  99999999999999999  1-JAN-2000 00:00:00\r\n", entries);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].Size, 0);
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

TEST(Corpus, RealListingsKeepTheInvariants) {
  std::ifstream file(FERROWIN_CORPUS_PATH, std::ios::binary);
  ASSERT_TRUE(file) << FERROWIN_CORPUS_PATH;
  std::size_t records = 0, lines = 0, entriesTotal = 0;
  std::string json;
  while (std::getline(file, json)) {
    if (json.empty()) continue;
    const TJsonRecord record(json);
    ++records;
    const TListingParserKind kind = record.Style == "dos"   ? TListingParserKind::Dos
                                    : record.Style == "vms" ? TListingParserKind::VMS
                                    : record.Style == "vm"  ? TListingParserKind::VM
                                                            : TListingParserKind::Unix;
    std::string wire;
    for (const std::string& line : record.Lines) wire += ToWireBytes(line, record.Encoding) + "\r\n";
    lines += record.Lines.size();
    const TListingEntries entries = Parse(kind, wire);
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
  EXPECT_GE(records, 1000u);
  // Most lines of real listings are entries; a parser that drops them wholesale fails here.
  EXPECT_GT(entriesTotal, lines / 2) << entriesTotal << " entries from " << lines << " lines";
}

}  // namespace
}  // namespace ferrowin
