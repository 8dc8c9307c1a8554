#include "ReplyReader.h"

namespace ferrowin {

void TReplyBuffer::Append(const char* data, std::size_t count) {
  // Drop what was taken before growing, so the buffer stays as large as what is pending.
  if (Pos > 0 && Pos >= Data.size() / 2) {
    Data.erase(0, Pos);
    Pos = 0;
  }
  Data.append(data, count);
}

bool TReplyBuffer::CutLine(std::string& line) {
  // A CR LF split over two segments is still one line end.
  if (SkipLF && Pos < Data.size()) {
    if (Data[Pos] == '\n') ++Pos;
    SkipLF = false;
  }
  std::size_t end = Data.find_first_of("\r\n", Pos + Scanned);
  if (end == std::string::npos) {
    Scanned = Data.size() - Pos;
    return false;
  }
  line.assign(Data, Pos, end - Pos);
  std::size_t next = end + 1;
  if (next < Data.size() && Data[next] == '\n') ++next;
  else if (next == Data.size() && Data[end] == '\r') SkipLF = true;
  Pos = next;
  Scanned = 0;
  if (Pos == Data.size()) {
    bool skip = SkipLF;
    Clear();
    SkipLF = skip;
  }
  return true;
}

void TReplyBuffer::Clear() {
  SkipLF = false;
  Data.clear();
  Pos = 0;
  Scanned = 0;
}

int ReplyCode(std::string_view line) {
  if (line.size() < 3) return 0;
  int code = 0;
  for (int i = 0; i < 3; ++i) {
    char c = line[i];
    if (c < '0' || c > '9') return 0;
    code = code * 10 + (c - '0');
  }
  return code >= 100 && code <= 599 ? code : 0;
}

int ReplyClass(std::string_view line) {
  if (line.size() <= 3 || line[3] != ' ') return 0;
  return ReplyCode(line) / 100;
}

}  // namespace ferrowin
