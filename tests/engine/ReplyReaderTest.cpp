#include <gtest/gtest.h>

#include "ReplyReader.h"

namespace ferrowin {
namespace {

std::vector<std::string> Lines(const std::string& bytes, std::string* rest = nullptr) {
  TReplyBuffer buffer;
  buffer.Append(bytes.data(), bytes.size());
  std::vector<std::string> lines;
  for (std::string line; buffer.CutLine(line);) lines.push_back(line);
  if (rest) *rest = std::string(buffer.PendingText());
  return lines;
}

TEST(ReplyBuffer, CutsLinesAtEveryKindOfLineEnd) {
  struct {
    std::string Bytes;
    std::vector<std::string> Expected;
    std::string Rest;
  } cases[] = {
      {"220 ready\r\n", {"220 ready"}, ""},
      {"220 a\n220 b\n", {"220 a", "220 b"}, ""},
      {"220 a\r\r\n", {"220 a", ""}, ""},  // CR then CR LF: an empty line between
      {"220 a\n\r", {"220 a", ""}, ""},
      {"230-one\r\n230 two\r\n150 partial", {"230-one", "230 two"}, "150 partial"},
      {"no end yet", {}, "no end yet"},
  };
  for (const auto& c : cases) {
    std::string rest;
    EXPECT_EQ(Lines(c.Bytes, &rest), c.Expected) << c.Bytes;
    EXPECT_EQ(rest, c.Rest) << c.Bytes;
  }
}

TEST(ReplyBuffer, LinesArrivingInPiecesComeOutWhole) {
  TReplyBuffer buffer;
  std::string text = "230-first line\r\n230 second\r\n";
  std::vector<std::string> lines;
  for (char c : text) {
    buffer.Append(&c, 1);
    for (std::string line; buffer.CutLine(line);) lines.push_back(line);
  }
  EXPECT_EQ(lines, (std::vector<std::string>{"230-first line", "230 second"}));
  EXPECT_EQ(buffer.Pending(), 0u);
}

TEST(ReplyCodes, OnlyThreeDigitCodesFrom100To599Count) {
  struct {
    const char* Line;
    int Code;
    int Class;
  } cases[] = {
      {"230 Logged in", 230, 2}, {"230-Welcome", 230, 0}, {"550 No such file", 550, 5},
      {"99 too small", 0, 0},    {"600 too big", 0, 0},   {"2xx letters", 0, 0},
      {"abc def", 0, 0},         {"230", 230, 0},         {"6000 four digits", 0, 0},
      {"", 0, 0},                {" 230 indented", 0, 0}, {"100 lowest", 100, 1},
      {"599 highest", 599, 5},   {"230\ttab", 230, 0},    {"2024-01-05 maintenance", 202, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReplyCode(c.Line), c.Code) << c.Line;
    EXPECT_EQ(ReplyClass(c.Line), c.Class) << c.Line;
  }
}

// Banner lines that begin with digits (a date, a bare code) continue the reply; only the code
// followed by a space ends it, so later replies stay in step.
TEST(ReplyCodes, OnlyTheLastLineOfABannerEndsIt) {
  const std::vector<std::string> lines =
      Lines("220-Welcome\r\n2024-01-05 maintenance from 22:00\r\n220\r\n100\tnotes\r\n99 bottles\r\n220 Ready\r\n");
  ASSERT_EQ(lines.size(), 6u);
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) EXPECT_EQ(ReplyClass(lines[i]), 0) << lines[i];
  EXPECT_EQ(ReplyClass(lines.back()), 2);
}

}  // namespace
}  // namespace ferrowin
