#include <gtest/gtest.h>

#include "Format.h"

namespace ferrowin {
namespace {

struct TFormatCase {
  std::string Expected;
  std::string Actual;
};

TEST(Format, ProgramTexts) {
  const TFormatCase cases[] = {
      {"Attempting to connect to host, attempt 2\r\n", Format("Attempting to connect to %s, attempt %d\r\n", "host", 2)},
      {"5 seconds delay before retrying...", Format("%d seconds delay before retrying...", 5)},
      {"REST 5368709120", Format("REST %d", std::int64_t{5} << 30)},  // 64-bit offsets
      {"0000ab12", Format("%0.8x", 0xab12)},
      {"000042ms", Format("%0.6dms", 42)},
      {"Transferred 1,234,567 bytes in 1.50 seconds (803.75KB/s)",
       Format("Transferred %.0n bytes in %f seconds (%fKB/s)", std::int64_t{1234567}, 1.5, 1234567 / 1024.0 / 1.5)},
      {"-1,000.25", Format("%n", -1000.25)},
      {"100%", Format("100%%")},
      {"[  ab]", Format("[%4s]", "ab")},
      {"ab", Format("%.2s", "abcdef")},
      {"missing: ", Format("missing: %s")},
      {"[ab  |     1,234]", Format("[%-4s|%10.0n]", "ab", 1234)},
      {"1.5 1.23e+03 AB12 x 7 3.00 ", Format("%.3g %.3g %X %c %d %.2f %s", 1.5, 1234.5, 0xab12, 'x', 7.9, 3, 42)},
      {"18446744073709551615 5%", Format("%u %d%%", -1, 5)},
  };
  for (const auto& c : cases) EXPECT_EQ(c.Actual, c.Expected);
}

TEST(Format, GroupDigits) {
  EXPECT_EQ(GroupDigits(0), "0");
  EXPECT_EQ(GroupDigits(999), "999");
  EXPECT_EQ(GroupDigits(1000), "1,000");
  EXPECT_EQ(GroupDigits(-1234567), "-1,234,567");
  EXPECT_EQ(GroupDigits(9007199254740993LL), "9,007,199,254,740,993");  // exact beyond double
}

}  // namespace
}  // namespace ferrowin
