#include <gtest/gtest.h>

#include "HTTPBody.h"

namespace ferrowin {
namespace {

TEST(HTTPHeader, StatusLengthAndChunking) {
  struct {
    const char* Header;
    int Status;
    std::int64_t Length;
    bool Chunked;
  } cases[] = {
      {"HTTP/1.1 200 OK\r\nContent-Length: 5368709120\r\n\r\n", 200, 5368709120LL, false},
      {"HTTP/1.1 404 Not Found\r\ncontent-length:  9 \r\n\r\n", 404, 9, false},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip, Chunked\r\n\r\n", 200, -1, true},
      // Found by fuzzing: letters in a long length overflowed while being read.
      {"HTTP/1.1 200 OK\r\nContent-Length: zzzzzzzzzzzzzzzzzz\r\n\r\n", 200, -1, false},
      {"HTTP/1.1 200 OK\r\nContent-Length: 1234567890123456789\r\n\r\n", 200, -1, false},
      {"garbage", 0, -1, false},
  };
  for (const auto& c : cases) {
    THTTPHeader h = ParseHTTPHeader(c.Header);
    EXPECT_EQ(h.Status, c.Status) << c.Header;
    EXPECT_EQ(h.ContentLength, c.Length) << c.Header;
    EXPECT_EQ(h.Chunked, c.Chunked) << c.Header;
  }
}

TEST(HTTPBody, ChunkedBodyArrivingByteByByte) {
  std::string out;
  THTTPBody body(THTTPBody::TMode::Chunked, -1, [&](const char* d, std::size_t n) { out.append(d, n); });
  // Sizes are hexadecimal: 1A is 26 bytes and 10 is 16, not ten.
  const std::string wire = "4\r\nWiki\r\n5;ext=1\r\npedia\r\nE\r\n in\r\n\r\nchunks.\r\n1a\r\nabcdefghijklmnopqrstuvwxyz\r\n"
                           "10\r\n0123456789ABCDEF\r\n0\r\nTrailer: x\r\n\r\n";
  for (char c : wire) ASSERT_TRUE(body.Feed(&c, 1));
  EXPECT_TRUE(body.Done());
  EXPECT_EQ(out, "Wikipedia in\r\n\r\nchunks.abcdefghijklmnopqrstuvwxyz0123456789ABCDEF");
}

TEST(HTTPBody, CutShortOrMalformedIsNotComplete) {
  auto ignore = [](const char*, std::size_t) {};
  THTTPBody length(THTTPBody::TMode::Length, 10, ignore);
  length.Feed("12345", 5);
  EXPECT_FALSE(length.CompleteAtClose());
  THTTPBody chunked(THTTPBody::TMode::Chunked, -1, ignore);
  EXPECT_FALSE(chunked.Feed("5\r\nhelloXX\r\n", 12));  // something between chunk and line end
  EXPECT_FALSE(chunked.CompleteAtClose());
  THTTPBody open(THTTPBody::TMode::UntilClose, -1, ignore);
  open.Feed("abc", 3);
  EXPECT_TRUE(open.CompleteAtClose());
}

}  // namespace
}  // namespace ferrowin
