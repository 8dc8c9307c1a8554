#include "Format.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace ferrowin {
namespace {

struct TSpec {
  std::string Flags;
  int Width = -1;
  int Precision = -1;
  char Conversion = 0;
};

std::int64_t AsInteger(const TFormatArg& arg) {
  if (auto* i = std::get_if<std::int64_t>(&arg.Value)) return *i;
  if (auto* d = std::get_if<double>(&arg.Value)) return static_cast<std::int64_t>(*d);
  return 0;
}

double AsDouble(const TFormatArg& arg) {
  if (auto* d = std::get_if<double>(&arg.Value)) return *d;
  if (auto* i = std::get_if<std::int64_t>(&arg.Value)) return static_cast<double>(*i);
  return 0;
}

std::string_view AsText(const TFormatArg& arg) {
  if (auto* s = std::get_if<std::string_view>(&arg.Value)) return *s;
  return {};
}

std::string Printf(const std::string& field, auto value) {
  char small[128];
  int n = std::snprintf(small, sizeof small, field.c_str(), value);
  if (n < 0) return {};
  if (static_cast<std::size_t>(n) < sizeof small) return std::string(small, n);
  std::string big(static_cast<std::size_t>(n) + 1, '\0');
  std::snprintf(big.data(), big.size(), field.c_str(), value);
  big.resize(n);
  return big;
}

std::string CSpec(const TSpec& s, const char* length, char conversion) {
  std::string out = "%" + s.Flags;
  if (s.Width >= 0) out += std::to_string(s.Width);
  if (s.Precision >= 0) out += "." + std::to_string(s.Precision);
  return out + length + conversion;
}

// Inserts thousands separators into a plain decimal text ("-1234.50" -> "-1,234.50").
std::string InsertSeparators(const std::string& fixed) {
  if (fixed.empty()) return fixed;
  std::size_t start = (fixed[0] == '-') ? 1 : 0;
  std::size_t point = fixed.find('.');
  std::size_t intEnd = point == std::string::npos ? fixed.size() : point;
  std::string out = fixed.substr(0, start);
  for (std::size_t i = start; i < intEnd; ++i) {
    if (i > start && (intEnd - i) % 3 == 0) out += ',';
    out += fixed[i];
  }
  return out + fixed.substr(intEnd);
}

// "%n": fixed point with grouped thousands.
std::string Grouped(double value, int precision) {
  return InsertSeparators(Printf("%." + std::to_string(precision) + "f", value));
}

std::string Pad(std::string text, const TSpec& s) {
  if (s.Width < 0 || text.size() >= static_cast<std::size_t>(s.Width)) return text;
  std::string fill(s.Width - text.size(), ' ');
  return s.Flags.find('-') != std::string::npos ? text + fill : fill + text;
}

std::string Convert(const TSpec& s, const TFormatArg& arg) {
  switch (s.Conversion) {
    case 'd':
    case 'i':
      return Printf(CSpec(s, "ll", 'd'), static_cast<long long>(AsInteger(arg)));
    case 'u':
      return Printf(CSpec(s, "ll", 'u'), static_cast<unsigned long long>(AsInteger(arg)));
    case 'x':
    case 'X':
      return Printf(CSpec(s, "ll", s.Conversion), static_cast<unsigned long long>(AsInteger(arg)));
    case 'f': {
      TSpec two = s;
      if (two.Precision < 0) two.Precision = 2;
      return Printf(CSpec(two, "", 'f'), AsDouble(arg));
    }
    case 'e':
    case 'g':
    case 'G':
      return Printf(CSpec(s, "", s.Conversion), AsDouble(arg));
    case 'n':
      return Pad(Grouped(AsDouble(arg), s.Precision < 0 ? 2 : s.Precision), s);
    case 's': {
      std::string_view text = AsText(arg);
      if (s.Precision >= 0 && text.size() > static_cast<std::size_t>(s.Precision))
        text = text.substr(0, s.Precision);
      return Pad(std::string(text), s);
    }
    case 'c':
      return std::string(1, static_cast<char>(AsInteger(arg)));
    default:
      return {};
  }
}

}  // namespace

std::string FormatArgs(std::string_view format, const TFormatArg* args, std::size_t count) {
  std::string out;
  out.reserve(format.size() + 32);
  std::size_t next = 0;
  for (std::size_t i = 0; i < format.size(); ++i) {
    char c = format[i];
    if (c != '%') {
      out += c;
      continue;
    }
    if (i + 1 < format.size() && format[i + 1] == '%') {
      out += '%';
      ++i;
      continue;
    }
    TSpec field;
    std::size_t j = i + 1;
    while (j < format.size() && std::string_view("-+ #0").find(format[j]) != std::string_view::npos)
      field.Flags += format[j++];
    auto number = [&]() {
      int v = -1;
      while (j < format.size() && std::isdigit(static_cast<unsigned char>(format[j])))
        v = (v < 0 ? 0 : v * 10) + (format[j++] - '0');
      return v;
    };
    field.Width = number();
    if (j < format.size() && format[j] == '.') {
      ++j;
      field.Precision = std::max(0, number());
    }
    while (j < format.size() && std::string_view("hlLqjzt").find(format[j]) != std::string_view::npos) ++j;
    if (j >= format.size()) break;
    field.Conversion = format[j];
    i = j;
    if (next < count) out += Convert(field, args[next++]);
  }
  return out;
}

std::string LowerCase(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

std::string GroupDigits(std::int64_t value) {
  return InsertSeparators(std::to_string(value));
}

}  // namespace ferrowin
