#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <thread>

#include "FTPUtils.h"
#include "ServerProcess.h"

namespace ferrowin {
namespace {

std::vector<std::string> ReadLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class TraceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDebugTraceFile(Dir.File("Debug.txt"));
    SetDebugTrace(true);
  }
  void TearDown() override {
    SetDebugTrace(false);
    SetDebugTraceFile("");
  }
  test::TTempDir Dir;
};

TEST_F(TraceTest, LineFormatFirstLineZeroAndLineBreaksFolded) {
  DebugTrace("first");
  DebugTrace("two\r\nwords");
  auto lines = ReadLines(Dir.File("Debug.txt"));
  ASSERT_EQ(lines.size(), 2u);
  const std::regex format(R"(\d\d:\d\d:\d\d - \d{6}ms - \xC2\xB7 main \xC2\xB7 - (.*)\r)");
  std::smatch m;
  ASSERT_TRUE(std::regex_match(lines[0], m, format)) << lines[0];
  EXPECT_EQ(lines[0].substr(11, 8), "000000ms");
  EXPECT_EQ(m[1], "first");
  ASSERT_TRUE(std::regex_match(lines[1], m, format)) << lines[1];
  EXPECT_EQ(m[1], "two~~words");
}

TEST_F(TraceTest, OtherThreadsShowTheirIdAndLinesNeverInterleave) {
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([] {
      for (int i = 0; i < 200; ++i) DebugTrace(std::string(100, 'x'));
    });
  for (auto& t : threads) t.join();
  auto lines = ReadLines(Dir.File("Debug.txt"));
  ASSERT_EQ(lines.size(), 800u);
  const std::regex format(R"(\d\d:\d\d:\d\d - \d{6}ms - [0-9a-f]{8} - x{100}\r)");
  for (const auto& line : lines) ASSERT_TRUE(std::regex_match(line, format)) << line;
}

TEST_F(TraceTest, NothingIsWrittenWhileOff) {
  SetDebugTrace(false);
  DebugTrace("silent");
  EXPECT_TRUE(ReadLines(Dir.File("Debug.txt")).empty());
}

}  // namespace
}  // namespace ferrowin
