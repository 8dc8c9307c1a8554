#pragma once
// Format: the program's printf-style texts with typed arguments. Underneath it is snprintf,
// plus what the program's texts need beyond C: "%n" (a number with thousands separators,
// two decimals unless a precision is given) and "%f" with two decimals by default. Integer
// arguments are 64-bit whatever the conversion says, so byte counts never overflow.

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

namespace ferrowin {

class TFormatArg {
 public:
  template <typename T>
    requires std::is_integral_v<T>
  TFormatArg(T v) : Value(static_cast<std::int64_t>(v)) {}
  TFormatArg(double v) : Value(v) {}
  TFormatArg(const char* v) : Value(std::string_view(v ? v : "")) {}
  TFormatArg(std::string_view v) : Value(v) {}
  TFormatArg(const std::string& v) : Value(std::string_view(v)) {}

  std::variant<std::int64_t, double, std::string_view> Value;
};

std::string FormatArgs(std::string_view format, const TFormatArg* args, std::size_t count);

template <typename... Args>
std::string Format(std::string_view format, const Args&... args) {
  if constexpr (sizeof...(Args) == 0) {
    return FormatArgs(format, nullptr, 0);
  } else {
    const TFormatArg list[] = {TFormatArg(args)...};
    return FormatArgs(format, list, sizeof...(Args));
  }
}

// 1234567 -> "1,234,567": the digit grouping the program shows byte counts with.
std::string GroupDigits(std::int64_t value);

// The text with ASCII letters in lower case (bytes of other scripts unchanged).
std::string LowerCase(std::string_view text);

}  // namespace ferrowin
