#pragma once
// Reading an HTTP/1.1 response body as the header describes it: up to Content-Length,
// chunked, or until the server closes. Kept apart from the sockets to be tested on its own.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace ferrowin {

class THTTPBody {
 public:
  enum class TMode { UntilClose, Length, Chunked };
  using TSink = std::function<void(const char* data, std::size_t count)>;

  THTTPBody(TMode mode, std::int64_t length, TSink sink);
  // Decodes what arrived; false once the body is broken (a malformed chunk).
  bool Feed(const char* data, std::size_t count);
  // All of the body has arrived (stop reading).
  [[nodiscard]] bool Done() const { return State == TState::Done; }
  [[nodiscard]] bool Broken() const { return State == TState::Broken; }
  // What the body gave when the connection closed: whole, or cut short.
  [[nodiscard]] bool CompleteAtClose() const;
  [[nodiscard]] std::int64_t Delivered() const { return Written; }

 private:
  enum class TState { Data, ChunkSize, ChunkDataEnd, Trailer, Done, Broken };
  bool FeedChunked(const char* data, std::size_t count);
  bool TakeLine(const char*& data, std::size_t& count, std::string& line);
  void Deliver(const char* data, std::size_t count);

  TMode Mode;
  TSink Sink;
  TState State;
  std::int64_t Remaining;  // of the body (Length) or of the current chunk (Chunked)
  std::int64_t Written = 0;
  std::string Line;  // a chunk-size or trailer line in the making
};

// The parts of a response header the download needs.
struct THTTPHeader {
  int Status = 0;               // 0 when the first line has no status
  std::int64_t ContentLength = -1;  // -1 when absent or not a number
  bool HasContentLength = false;     // a Content-Length line was there, a number or not
  bool Chunked = false;
};
THTTPHeader ParseHTTPHeader(std::string_view header);

}  // namespace ferrowin
