#pragma once
// Cutting server replies into lines. Kept apart from the sockets so it can be tested and
// fuzzed on its own.

#include <cstddef>
#include <string>
#include <string_view>

namespace ferrowin {

// A reply line may not grow without bound, nor a reply go on for ever.
inline constexpr std::size_t MaxReplyLineLength = 64 * 1024;
inline constexpr int MaxReplyLines = 10000;

// Bytes received on the control connection and not yet taken as lines.
class TReplyBuffer {
 public:
  void Append(const char* data, std::size_t count);
  // Takes the text before the first CR or LF; that character and one LF right after it go
  // too. False (and nothing taken) when no line ending has arrived.
  bool CutLine(std::string& line);
  [[nodiscard]] std::size_t Pending() const { return Data.size() - Pos; }
  [[nodiscard]] std::string_view PendingText() const { return std::string_view(Data).substr(Pos); }
  void Clear();

 private:
  std::string Data;
  std::size_t Pos = 0;      // start of what is not yet taken
  std::size_t Scanned = 0;  // bytes from Pos known to hold no line ending
  bool SkipLF = false;      // the last line ended with a CR at the end of what had arrived
};

// The code of a reply line: its first three characters when they form a number from 100 to
// 599, else 0.
int ReplyCode(std::string_view line);

// A line whose code is followed by a space ends a reply; with a hyphen it continues one.
// The class (1..5) of the reply that the line ends, or 0.
int ReplyClass(std::string_view line);

}  // namespace ferrowin
