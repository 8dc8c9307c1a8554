// Byte counts as the status bar writes them, the mask rule of the host view, and the
// case-insensitive comparison of cached paths.

#include <gtest/gtest.h>

#include "AllViews.h"
#include "HostView.h"

namespace ferrowin {
namespace {

TEST(FormatSize, UnitsAndSignificantDigits) {
  struct {
    std::int64_t Bytes;
    const char* Text;
  } cases[] = {
      {0, "0 Bytes"},
      {1, "1 Byte"},
      {2, "2 Bytes"},
      {1023, "1,023 Bytes"},
      {1024, "1KB"},
      {1536, "1.5KB"},
      {10240, "10KB"},
      {1048575, "1.02E+003KB"},  // 1023.999 KB: four integer digits need the exponent
      {1024000, "1E+003KB"},
      {1048576, "1MB"},
      {5 * 1048576 + 1048576 / 4, "5.25MB"},
      {1073741823, "1.02E+003MB"},
      {1073741824, "1GB"},
      {3LL * 1073741824 + 1073741824 / 2, "3.5GB"},  // beyond 32 bits
      {1099511627776LL, "1TB"},
      {1099511627776LL * 2048, "2.05E+003TB"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatSize(c.Bytes), c.Text) << c.Bytes;
}

TEST(FormatSize, GeneralFormWithThreeDigitExponent) {
  struct {
    double Value;
    const char* Text;
  } cases[] = {{0.5, "0.5"}, {999.5, "1E+003"}, {123456, "1.23E+005"}, {0.0001234, "0.000123"}, {1e-5, "1E-005"}};
  for (const auto& c : cases) EXPECT_EQ(FormatGeneral3(c.Value), c.Text) << c.Value;
}

TEST(MaskMatching, StarStopsAtTheFirstOccurrence) {
  const QStringList htmTxt = {"*.htm", "*.txt"};
  struct {
    const char* Name;
    QStringList Masks;
    bool Matches;
  } cases[] = {
      {"index.htm", htmTxt, true},
      {"INDEX.HTM", htmTxt, true},  // names are compared lower-cased
      {"index.html", htmTxt, false},
      {"notes.txt", htmTxt, true},
      {"a.b.txt", htmTxt, false},  // no backtracking past the first dot
      {"readme", htmTxt, false},
      {"anything", {}, true},
      {"anything", {"*.*"}, true},
      {"a.b.txt", {"*.b.txt"}, true},
      {"abc", {"a?c"}, true},
      {"ac", {"a?c"}, false},
      {"abc", {"a*"}, true},
      {"abc", {"abc?"}, false},
      {"data.tar.gz", {"*.gz"}, false},
      {"x.gz", {"*.gz"}, true},
      {"file1.txt", {"file?.*"}, true},
      {"", {"*"}, true},
      {"", {"?"}, false},
  };
  for (const auto& c : cases) EXPECT_EQ(MatchesMask(c.Name, c.Masks), c.Matches) << c.Name << " " << c.Masks.join(';').toStdString();
}

TEST(CachePaths, CompareWithoutRegardToCase) {
  EXPECT_TRUE(SameText("/Pub/Linux/", "/pub/LINUX/"));
  EXPECT_FALSE(SameText("/pub/", "/pub/x/"));
  std::map<std::string, int, TCaseLess> cache;
  cache["/Pub/"] = 1;
  cache["/pub/"] = 2;  // the same entry
  EXPECT_EQ(cache.size(), 1u);
  EXPECT_EQ(cache["/PUB/"], 2);
}

}  // namespace
}  // namespace ferrowin
