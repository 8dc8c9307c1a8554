#include "HTTPBody.h"
#include "Format.h"

#include <algorithm>
#include <cctype>

namespace ferrowin {
namespace {

constexpr std::size_t MaxChunkLine = 4096;

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

}  // namespace

THTTPBody::THTTPBody(TMode mode, std::int64_t length, TSink sink)
    : Mode(mode), Sink(std::move(sink)), State(TState::Data), Remaining(length) {
  if (mode == TMode::Chunked) State = TState::ChunkSize;
  if (mode == TMode::Length && length <= 0) State = TState::Done;
}

void THTTPBody::Deliver(const char* data, std::size_t count) {
  if (count == 0) return;
  Sink(data, count);
  Written += static_cast<std::int64_t>(count);
}

bool THTTPBody::Feed(const char* data, std::size_t count) {
  if (State == TState::Broken) return false;
  if (State == TState::Done) return true;
  if (Mode == TMode::Chunked) return FeedChunked(data, count);
  if (Mode == TMode::Length) {
    std::size_t take = static_cast<std::size_t>(std::min<std::int64_t>(Remaining, static_cast<std::int64_t>(count)));
    Deliver(data, take);
    Remaining -= static_cast<std::int64_t>(take);
    if (Remaining == 0) State = TState::Done;
    return true;
  }
  Deliver(data, count);
  return true;
}

bool THTTPBody::TakeLine(const char*& data, std::size_t& count, std::string& line) {
  while (count > 0) {
    char c = *data++;
    --count;
    if (c == '\n') {
      if (!Line.empty() && Line.back() == '\r') Line.pop_back();
      line.swap(Line);
      Line.clear();
      return true;
    }
    Line += c;
    if (Line.size() > MaxChunkLine) {
      State = TState::Broken;
      return false;
    }
  }
  return false;
}

bool THTTPBody::FeedChunked(const char* data, std::size_t count) {
  std::string line;
  while (count > 0 && State != TState::Done && State != TState::Broken) {
    switch (State) {
      case TState::ChunkSize: {
        if (!TakeLine(data, count, line)) break;
        std::string_view size = Trim(std::string_view(line).substr(0, line.find(';')));
        std::int64_t value = 0;
        if (size.empty() || size.size() > 15) return (State = TState::Broken), false;
        for (char c : size) {
          if (!std::isxdigit(static_cast<unsigned char>(c))) return (State = TState::Broken), false;
          value = value * 16 + (std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::tolower(c) - 'a' + 10);
        }
        Remaining = value;
        State = value == 0 ? TState::Trailer : TState::Data;
        break;
      }
      case TState::Data: {
        std::size_t take = static_cast<std::size_t>(std::min<std::int64_t>(Remaining, static_cast<std::int64_t>(count)));
        Deliver(data, take);
        data += take;
        count -= take;
        Remaining -= static_cast<std::int64_t>(take);
        if (Remaining == 0) State = TState::ChunkDataEnd;
        break;
      }
      case TState::ChunkDataEnd:
        if (!TakeLine(data, count, line)) break;
        if (!line.empty()) return (State = TState::Broken), false;
        State = TState::ChunkSize;
        break;
      case TState::Trailer:
        if (!TakeLine(data, count, line)) break;
        if (line.empty()) State = TState::Done;
        break;
      default:
        break;
    }
  }
  return State != TState::Broken;
}

bool THTTPBody::CompleteAtClose() const {
  if (State == TState::Broken) return false;
  if (Mode == TMode::UntilClose) return true;
  return State == TState::Done;
}

THTTPHeader ParseHTTPHeader(std::string_view header) {
  THTTPHeader result;
  std::size_t start = 0;
  bool first = true;
  while (start < header.size()) {
    std::size_t end = header.find('\n', start);
    std::string_view line = header.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    start = end == std::string_view::npos ? header.size() : end + 1;
    if (first) {
      first = false;
      if (line.size() >= 12 && std::all_of(line.begin() + 9, line.begin() + 12, [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
        result.Status = (line[9] - '0') * 100 + (line[10] - '0') * 10 + (line[11] - '0');
      continue;
    }
    std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    std::string name = LowerCase(Trim(line.substr(0, colon)));
    std::string_view value = Trim(line.substr(colon + 1));
    if (name == "content-length") {
      // At most 18 digits: the value always fits, and anything else is not a length.
      std::int64_t n = 0;
      bool valid = !value.empty() && value.size() <= 18;
      for (std::size_t i = 0; valid && i < value.size(); ++i) {
        valid = std::isdigit(static_cast<unsigned char>(value[i])) != 0;
        n = n * 10 + (value[i] - '0');
      }
      result.ContentLength = valid ? n : -1;
      result.HasContentLength = true;
    } else if (name == "transfer-encoding" && LowerCase(value).find("chunked") != std::string::npos) {
      result.Chunked = true;
    }
  }
  return result;
}

}  // namespace ferrowin
