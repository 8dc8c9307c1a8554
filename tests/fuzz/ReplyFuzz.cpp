// libFuzzer target for what a server sends on the control connection and as an HTTP body:
// the reply line cutter (fed in pieces whose sizes come from the input) and the body decoder.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "HTTPBody.h"
#include "ReplyReader.h"

using namespace ferrowin;

namespace {

void FuzzReplies(const std::uint8_t* data, std::size_t size) {
  TReplyBuffer buffer;
  std::string all(reinterpret_cast<const char*>(data), size);
  std::size_t fed = 0, taken = 0;
  std::string line;
  while (fed < size) {
    std::size_t piece = 1 + data[fed] % 64;
    piece = std::min(piece, size - fed);
    buffer.Append(all.data() + fed, piece);
    fed += piece;
    while (buffer.CutLine(line)) {
      if (line.find_first_of("\r\n") != std::string::npos) std::abort();
      taken += line.size();
      int code = ReplyCode(line);
      if (code != 0 && (code < 100 || code > 599)) std::abort();
      int cls = ReplyClass(line);
      if (cls != 0 && cls != code / 100) std::abort();
    }
  }
  if (taken + buffer.Pending() > size) std::abort();
}

void FuzzBody(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return;
  auto mode = static_cast<THTTPBody::TMode>(data[0] % 3);
  std::int64_t length = data[1] * 37;
  std::int64_t written = 0;
  THTTPBody body(mode, length, [&](const char*, std::size_t n) { written += static_cast<std::int64_t>(n); });
  std::size_t pos = 2;
  while (pos < size && !body.Done() && !body.Broken()) {
    std::size_t piece = std::min<std::size_t>(1 + data[pos] % 17, size - pos);
    body.Feed(reinterpret_cast<const char*>(data + pos), piece);
    pos += piece;
  }
  if (written != body.Delivered()) std::abort();
  if (mode == THTTPBody::TMode::Length && written > length) std::abort();
  if (written > static_cast<std::int64_t>(size)) std::abort();
  ParseHTTPHeader(std::string_view(reinterpret_cast<const char*>(data), size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  if (data[0] & 1) FuzzReplies(data + 1, size - 1);
  else FuzzBody(data + 1, size - 1);
  return 0;
}
