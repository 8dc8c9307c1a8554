#include "ShortName.h"

#include <algorithm>
#include <filesystem>
#include <set>

namespace ferrowin {

namespace {

constexpr std::string_view Forbidden = "\"*+,/:;<=>?[\\]|";

bool ValidShortChar(unsigned char c) {
  return c > 0x20 && c < 0x80 && c != '.' && Forbidden.find(static_cast<char>(c)) == std::string_view::npos;
}

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Upper case, spaces and dots dropped, any other unusable character (a whole UTF-8
// sequence counting as one) turned into "_".
std::string ShortPart(std::string_view part) {
  std::string out;
  for (unsigned char c : part) {
    if (c == ' ' || c == '.' || (c & 0xC0) == 0x80) continue;
    out += ValidShortChar(c) ? Upper(static_cast<char>(c)) : '_';
  }
  return out;
}

struct TBasis {
  std::string Base;
  std::string Ext;
  bool operator==(const TBasis&) const = default;
};

TBasis BasisOf(std::string_view longName) {
  std::string_view name = longName.substr(std::min(longName.find_first_not_of('.'), longName.size()));
  std::size_t dot = name.rfind('.');
  TBasis b;
  b.Base = ShortPart(dot == std::string_view::npos ? name : name.substr(0, dot));
  if (dot != std::string_view::npos) b.Ext = ShortPart(name.substr(dot + 1)).substr(0, 3);
  if (b.Base.empty()) b.Base = "_";
  b.Base.resize(std::min<std::size_t>(b.Base.size(), 6));
  return b;
}

std::string Alias(const TBasis& b, unsigned n) {
  std::string tail = "~" + std::to_string(n);
  std::string alias = b.Base.substr(0, 8 - tail.size()) + tail;
  if (!b.Ext.empty()) alias += "." + b.Ext;
  return alias;
}

std::string UpperName(std::string_view name) {
  std::string out(name);
  std::transform(out.begin(), out.end(), out.begin(), Upper);
  return out;
}

}  // namespace

bool IsValidShortName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  std::size_t dot = name.find('.');
  std::string_view base = name.substr(0, dot);
  std::string_view ext = dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
  if (base.empty() || base.size() > 8 || ext.size() > 3) return false;
  if (dot != std::string_view::npos && ext.empty()) return false;
  auto valid = [](std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return ValidShortChar(static_cast<unsigned char>(c)); });
  };
  return valid(base) && valid(ext);
}

std::string ShortName(std::string_view longName, const std::vector<std::string>& siblings) {
  if (IsValidShortName(longName)) return std::string(longName);
  TBasis basis = BasisOf(longName);
  std::set<std::string> taken;
  std::vector<std::string_view> competitors{longName};
  for (const std::string& s : siblings) {
    if (s == longName) continue;
    if (IsValidShortName(s)) {
      taken.insert(UpperName(s));
    } else if (BasisOf(s) == basis) {
      competitors.push_back(s);
    }
  }
  std::sort(competitors.begin(), competitors.end());
  for (std::string_view name : competitors) {
    unsigned n = 1;
    while (taken.count(Alias(basis, n))) ++n;
    if (name == longName) return Alias(basis, n);
    taken.insert(Alias(basis, n));
  }
  return Alias(basis, 1);  // not reached: longName is among the competitors
}

std::string ShortFileName(const std::string& path) {
  namespace fs = std::filesystem;
  fs::path p(path);
  std::string name = p.filename().string();
  std::vector<std::string> siblings;
  std::error_code ec;
  fs::path folder = p.has_parent_path() ? p.parent_path() : fs::path(".");
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    siblings.push_back(it->path().filename().string());
  return ShortName(name, siblings);
}

}  // namespace ferrowin
