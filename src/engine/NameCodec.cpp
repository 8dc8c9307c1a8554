#include "NameCodec.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <vector>

#include "Format.h"

namespace ferrowin {
namespace {

// More names than any session lists: past it the memory starts again (names listed since
// are remembered anew when their folder is listed again).
constexpr std::size_t MaxRemembered = 200000;

std::mutex FallbackLock;
std::string& FallbackName() {
  static std::string name = "WINDOWS-1252";
  return name;
}

bool IsAuto(const std::string& charset) {
  const std::string lower = LowerCase(charset);
  return lower.empty() || lower == "auto" || lower == "utf-8" || lower == "utf8";
}

bool Ascii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Every byte as the code point of that value: never fails, so any name can be shown.
std::string FromLatin1(std::string_view text) {
  std::string out;
  for (unsigned char c : text) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// Calls f on each part of a path between "/" and on the "/" themselves, in order; a link's
// " -> " is a separator too.
template <typename F>
std::string MapParts(std::string_view text, F f) {
  std::string out;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t slash = std::min(text.find('/', start), text.size());
    std::size_t arrow = std::min(text.find(" -> ", start), text.size());
    const std::size_t end = std::min(slash, arrow);
    out += f(text.substr(start, end - start));
    if (end == text.size()) break;
    const std::size_t width = end == arrow ? 4 : 1;
    out += text.substr(end, width);
    start = end + width;
  }
  return out;
}

}  // namespace

std::string FallbackCodePage() {
  std::lock_guard lock(FallbackLock);
  return FallbackName();
}

void SetFallbackCodePage(const std::string& charset) {
  std::lock_guard lock(FallbackLock);
  FallbackName() = charset.empty() ? "WINDOWS-1252" : charset;
}

bool ValidUTF8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    const int follow = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : -1;
    if (follow < 0 || c == 0xC0 || c == 0xC1 || c > 0xF4) return false;
    if (text.size() - i <= static_cast<std::size_t>(follow)) return false;  // cut short
    for (int k = 1; k <= follow; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    i += static_cast<std::size_t>(follow) + 1;
  }
  return true;
}

bool ConvertCharset(const char* from, const char* to, std::string_view text, std::string& out) {
  iconv_t cd = ::iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  std::string result;
  std::vector<char> buffer(text.size() * 4 + 16);
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  bool ok = true;
  while (inLeft > 0) {
    char* outPtr = buffer.data();
    std::size_t outLeft = buffer.size();
    const std::size_t rc = ::iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    result.append(buffer.data(), buffer.size() - outLeft);
    if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
      ok = false;
      break;
    }
  }
  char* outPtr = buffer.data();
  std::size_t outLeft = buffer.size();
  if (ok && ::iconv(cd, nullptr, nullptr, &outPtr, &outLeft) != static_cast<std::size_t>(-1))
    result.append(buffer.data(), buffer.size() - outLeft);
  ::iconv_close(cd);
  if (ok) out = std::move(result);
  return ok;
}

void TNameCodec::Setup(const std::string& charset, const std::string& fallback, bool utf8) {
  Charset = utf8 || IsAuto(charset) ? "" : charset;
  Fallback = fallback;
  Wire.clear();
}

std::string TNameCodec::DecodePart(std::string_view wire) const {
  if (Ascii(wire)) return std::string(wire);
  std::string shown;
  if (Charset.empty() && ValidUTF8(wire)) return std::string(wire);
  const std::string& from = Charset.empty() ? Fallback : Charset;
  if (!from.empty() && ConvertCharset(from.c_str(), "UTF-8", wire, shown)) return shown;
  return FromLatin1(wire);
}

std::string TNameCodec::Decode(std::string_view wire) {
  return MapParts(wire, [this](std::string_view part) {
    std::string shown = DecodePart(part);
    if (shown != part) {
      if (Wire.size() >= MaxRemembered) Wire.clear();
      Wire[shown] = std::string(part);
    }
    return shown;
  });
}

std::string TNameCodec::Shown(std::string_view wire) const { return DecodePart(wire); }

std::string TNameCodec::EncodePart(std::string_view shown) const {
  if (Ascii(shown)) return std::string(shown);
  if (auto found = Wire.find(std::string(shown)); found != Wire.end()) return found->second;
  std::string wire;
  if (!Charset.empty() && ConvertCharset("UTF-8", Charset.c_str(), shown, wire)) return wire;
  return std::string(shown);
}

std::string TNameCodec::Encode(std::string_view shown) const {
  if (Charset.empty() && Wire.empty()) return std::string(shown);
  return MapParts(shown, [this](std::string_view part) { return EncodePart(part); });
}

std::string TNameCodec::EncodeCommand(const std::string& line) const {
  static constexpr std::string_view PathVerbs[] = {"CWD",  "XCWD", "MKD",  "XMKD", "RMD",  "XRMD",
                                                   "DELE", "RNFR", "RNTO", "RETR", "STOR", "LIST",
                                                   "NLST", "MLSD", "MLST", "SIZE", "MDTM"};
  if (Ascii(line)) return line;
  const std::size_t space = line.find(' ');
  if (space == std::string::npos) return line;
  const std::string verb = LowerCase(line.substr(0, space));
  std::size_t pathStart = std::string::npos;
  for (std::string_view v : PathVerbs)
    if (verb == LowerCase(v)) pathStart = space + 1;
  // SITE CHMOD 644 name, CHMOD 644 name: the name follows the mode.
  if (verb == "site" || verb == "chmod") {
    const int words = verb == "site" ? 2 : 1;
    pathStart = space;
    for (int w = 0; w < words && pathStart != std::string::npos; ++w) pathStart = line.find(' ', pathStart + 1);
    if (pathStart != std::string::npos) ++pathStart;
  }
  if (pathStart == std::string::npos) return line;
  return line.substr(0, pathStart) + Encode(std::string_view(line).substr(pathStart));
}

}  // namespace ferrowin
