#include "IniFile.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <system_error>

namespace ferrowin {
namespace fs = std::filesystem;

namespace ini {

namespace {

constexpr std::string_view Blanks = " \t";

std::string_view TrimBlanks(std::string_view s) {
  std::size_t first = s.find_first_not_of(Blanks);
  if (first == std::string_view::npos) return {};
  std::size_t last = s.find_last_not_of(Blanks);
  return s.substr(first, last - first + 1);
}

char LowerASCII(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool HasLineBreakOrNul(std::string_view s) { return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos; }

}  // namespace

bool IsBlankOrComment(std::string_view line) {
  std::string_view t = TrimBlanks(line);
  return t.empty() || t.front() == ';';
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (LowerASCII(a[i]) != LowerASCII(b[i])) return false;
  return true;
}

bool ParseSection(std::string_view line, std::string& name) {
  std::string_view t = TrimBlanks(line);
  if (t.empty() || t.front() != '[') return false;
  std::size_t close = t.find(']');
  if (close == std::string_view::npos) return false;
  name = std::string(TrimBlanks(t.substr(1, close - 1)));
  return true;
}

bool ParseKey(std::string_view line, std::string& key, std::string& value) {
  std::size_t start = line.find_first_not_of(Blanks);
  if (start == std::string_view::npos) return false;
  if (line[start] == ';' || line[start] == '[') return false;
  std::size_t eq = line.find('=', start);
  if (eq == std::string_view::npos) return false;
  std::string_view k = TrimBlanks(line.substr(start, eq - start));
  if (k.empty()) return false;
  key = std::string(k);
  value = std::string(line.substr(eq + 1));
  return true;
}

namespace {

bool ValidSectionName(std::string_view section) {
  return !TrimBlanks(section).empty() && !HasLineBreakOrNul(section) && section.find(']') == std::string_view::npos;
}

bool ValidKeyName(std::string_view key) {
  std::string_view k = TrimBlanks(key);
  return !k.empty() && !HasLineBreakOrNul(k) && k.find('=') == std::string_view::npos && k.front() != ';' &&
         k.front() != '[';
}

// A value ends at the first byte the file cannot hold inside a line.
std::string_view StorableValue(std::string_view value) {
  std::size_t cut = value.find_first_of(std::string_view("\r\n\0", 3));
  return cut == std::string_view::npos ? value : value.substr(0, cut);
}

}  // namespace
}  // namespace ini

TIniFile::TIniFile(std::string fileName) : FFileName(std::move(fileName)) { Refresh(); }

TIniFile::TStamp TIniFile::CurrentStamp() const {
  TStamp stamp;
  std::error_code ec;
  auto status = fs::status(FFileName, ec);
  if (ec || !fs::is_regular_file(status)) return stamp;
  stamp.Exists = true;
  stamp.Time = fs::last_write_time(FFileName, ec);
  stamp.Size = fs::file_size(FFileName, ec);
  return stamp;
}

void TIniFile::Refresh() const {
  TStamp stamp = CurrentStamp();
  if (stamp == FStamp && !FLines.empty()) return;
  FStamp = stamp;
  FLines.clear();
  FBom.clear();
  FLineEnd = "\n";
  if (!stamp.Exists) return;
  std::ifstream in(FFileName, std::ios::binary);
  std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (data.starts_with("\xEF\xBB\xBF")) {
    FBom = data.substr(0, 3);
    data.erase(0, 3);
  }
  std::size_t firstLf = data.find('\n');
  if (firstLf != std::string::npos && firstLf > 0 && data[firstLf - 1] == '\r') FLineEnd = "\r\n";
  std::size_t pos = 0;
  while (pos < data.size()) {
    std::size_t lf = data.find('\n', pos);
    std::size_t end = lf == std::string::npos ? data.size() : lf;
    std::size_t textEnd = (end > pos && data[end - 1] == '\r') ? end - 1 : end;
    FLines.push_back({data.substr(pos, textEnd - pos)});
    pos = lf == std::string::npos ? data.size() : lf + 1;
  }
}

bool TIniFile::Save() {
  std::string data = FBom;
  for (const TLine& line : FLines) data += line.Text + FLineEnd;
  // Write beside the real file (following a link), then replace it in one step.
  std::error_code ec;
  fs::path target = fs::is_symlink(FFileName, ec) ? fs::canonical(FFileName, ec) : fs::path(FFileName);
  if (ec) target = FFileName;
  if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
  fs::path temp = target;
  temp += ".tmp";
  // The replacement keeps the file's permissions; a new file is the user's alone, since
  // it may hold passwords.
  auto status = fs::status(target, ec);
  fs::perms perms = !ec && fs::exists(status) ? status.permissions() : fs::perms::owner_read | fs::perms::owner_write;
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    fs::permissions(temp, perms, ec);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    out.flush();
    if (!out) {
      out.close();
      fs::remove(temp, ec);
      return false;
    }
  }
  fs::rename(temp, target, ec);
  if (ec) {
    fs::remove(temp, ec);
    return false;
  }
  FStamp = CurrentStamp();
  return true;
}

std::size_t TIniFile::FindSection(std::string_view section) const {
  std::string name;
  for (std::size_t i = 0; i < FLines.size(); ++i)
    if (ini::ParseSection(FLines[i].Text, name) && ini::SameName(name, ini::TrimBlanks(section))) return i;
  return std::string::npos;
}

std::size_t TIniFile::SectionEnd(std::size_t header) const {
  std::string name;
  std::size_t i = header + 1;
  while (i < FLines.size() && !ini::ParseSection(FLines[i].Text, name)) ++i;
  return i;
}

std::size_t TIniFile::FindKey(std::size_t header, std::string_view key) const {
  std::string k, v;
  std::size_t end = SectionEnd(header);
  for (std::size_t i = header + 1; i < end; ++i)
    if (ini::ParseKey(FLines[i].Text, k, v) && ini::SameName(k, ini::TrimBlanks(key))) return i;
  return std::string::npos;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const {
  Refresh();
  std::size_t header = FindSection(section);
  if (header == std::string::npos) return std::string(defaultValue);
  std::size_t line = FindKey(header, key);
  if (line == std::string::npos) return std::string(defaultValue);
  std::string k, v;
  ini::ParseKey(FLines[line].Text, k, v);
  return v;
}

int TIniFile::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const {
  std::string text(ini::TrimBlanks(ReadString(section, key, "")));
  if (text.empty()) return defaultValue;
  std::size_t digits = 0;
  int base = 10;
  bool negative = text[0] == '-';
  if (negative || text[0] == '+') digits = 1;
  if (text.compare(digits, 1, "$") == 0) {
    base = 16;
    digits += 1;
  } else if (text.size() > digits + 2 && text[digits] == '0' && (text[digits + 1] == 'x' || text[digits + 1] == 'X')) {
    base = 16;
    digits += 2;
  }
  if (digits >= text.size() || text[digits] == '-' || text[digits] == '+' || text[digits] == ' ') return defaultValue;
  errno = 0;
  char* end = nullptr;
  long long value = std::strtoll(text.c_str() + digits, &end, base);
  if (errno != 0 || *end != '\0') return defaultValue;
  if (negative) value = -value;
  if (value < INT_MIN || value > INT_MAX) return defaultValue;
  return static_cast<int>(value);
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const {
  return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

bool TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  if (!ini::ValidSectionName(section) || !ini::ValidKeyName(key)) return false;
  Refresh();
  std::string line = std::string(ini::TrimBlanks(key)) + "=" + std::string(ini::StorableValue(value));
  std::size_t header = FindSection(section);
  if (header == std::string::npos) {
    if (!FLines.empty() && !ini::TrimBlanks(FLines.back().Text).empty()) FLines.push_back({""});
    FLines.push_back({"[" + std::string(ini::TrimBlanks(section)) + "]"});
    FLines.push_back({line});
    return Save();
  }
  std::size_t existing = FindKey(header, key);
  if (existing != std::string::npos) {
    // The key keeps its spelling and spacing; only the value changes.
    std::string& text = FLines[existing].Text;
    std::string updated = text.substr(0, text.find('=') + 1) + std::string(ini::StorableValue(value));
    if (updated == text) return true;
    text = std::move(updated);
    return Save();
  }
  // After the section's last key: blank lines and comments at its end introduce the next one.
  std::size_t insertAt = SectionEnd(header);
  while (insertAt > header + 1 && ini::IsBlankOrComment(FLines[insertAt - 1].Text)) --insertAt;
  FLines.insert(FLines.begin() + static_cast<std::ptrdiff_t>(insertAt), {line});
  return Save();
}

bool TIniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  return WriteString(section, key, std::to_string(value));
}

bool TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  return WriteString(section, key, value ? "1" : "0");
}

bool TIniFile::SectionExists(std::string_view section) const {
  Refresh();
  return FindSection(section) != std::string::npos;
}

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const {
  Refresh();
  std::size_t header = FindSection(section);
  return header != std::string::npos && FindKey(header, key) != std::string::npos;
}

std::vector<std::string> TIniFile::ReadSections() const {
  Refresh();
  std::vector<std::string> names;
  std::string name;
  for (const TLine& line : FLines) {
    if (!ini::ParseSection(line.Text, name)) continue;
    bool known = false;
    for (const std::string& n : names) known = known || ini::SameName(n, name);
    if (!known) names.push_back(name);
  }
  return names;
}

std::vector<std::string> TIniFile::ReadSection(std::string_view section) const {
  std::vector<std::string> keys;
  for (auto& [key, value] : ReadSectionValues(section)) keys.push_back(key);
  return keys;
}

std::vector<std::pair<std::string, std::string>> TIniFile::ReadSectionValues(std::string_view section) const {
  Refresh();
  std::vector<std::pair<std::string, std::string>> values;
  std::size_t header = FindSection(section);
  if (header == std::string::npos) return values;
  std::size_t end = SectionEnd(header);
  std::string key, value;
  for (std::size_t i = header + 1; i < end; ++i) {
    if (!ini::ParseKey(FLines[i].Text, key, value)) continue;
    bool known = false;
    for (auto& kv : values) known = known || ini::SameName(kv.first, key);
    if (!known) values.emplace_back(key, value);
  }
  return values;
}

bool TIniFile::EraseSection(std::string_view section) {
  Refresh();
  bool changed = false;
  for (std::size_t header = FindSection(section); header != std::string::npos; header = FindSection(section)) {
    std::size_t end = SectionEnd(header);
    FLines.erase(FLines.begin() + static_cast<std::ptrdiff_t>(header), FLines.begin() + static_cast<std::ptrdiff_t>(end));
    changed = true;
  }
  return changed ? Save() : true;
}

bool TIniFile::DeleteKey(std::string_view section, std::string_view key) {
  Refresh();
  std::size_t header = FindSection(section);
  if (header == std::string::npos) return true;
  bool changed = false;
  for (std::size_t line = FindKey(header, key); line != std::string::npos; line = FindKey(header, key)) {
    FLines.erase(FLines.begin() + static_cast<std::ptrdiff_t>(line));
    changed = true;
  }
  return changed ? Save() : true;
}

}  // namespace ferrowin
