// The site file and the predefined-site file: reading and writing sites, no user interface.
#include <algorithm>
#include <charconv>
#include <filesystem>

#include "FTPUtils.h"
#include "Manager.h"

namespace ferrowin {

namespace {

constexpr std::string_view Sites = "Sites";
constexpr std::string_view LastSiteKey = "LastSite";
constexpr std::string_view NoSite = "!";
constexpr std::string_view PredefinedSection = "Site";

bool NeedsQuotes(std::string_view element) {
  return std::any_of(element.begin(), element.end(), [](char c) {
    auto b = static_cast<unsigned char>(c);
    return b <= ' ' || c == ',' || c == '"';
  });
}

std::string Quoted(std::string_view element) {
  std::string out = "\"";
  for (char c : element) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + '"';
}

bool IsBlank(char c) { return c != '\0' && static_cast<unsigned char>(c) <= ' '; }

// A quoted element starting at text[pos] == '"': doubled quotes are one quote, a single
// quote ends it, a missing closing quote takes the rest.
std::string TakeQuoted(std::string_view text, std::size_t& pos) {
  std::string out;
  ++pos;
  while (pos < text.size()) {
    char c = text[pos++];
    if (c != '"') {
      out += c;
    } else if (pos < text.size() && text[pos] == '"') {
      out += '"';
      ++pos;
    } else {
      break;
    }
  }
  return out;
}

bool HasLineBreakOrNul(std::string_view s) { return s.find_first_of(std::string_view("\r\n\0", 3)) != s.npos; }

std::string ToHex(std::string_view bytes) {
  static constexpr char Digits[] = "0123456789ABCDEF";
  std::string out;
  for (char c : bytes) {
    auto b = static_cast<unsigned char>(c);
    out += Digits[b >> 4];
    out += Digits[b & 15];
  }
  return out;
}

std::optional<std::string> FromHex(std::string_view hex) {
  if (hex.size() % 2 != 0) return std::nullopt;
  std::string out;
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    unsigned value = 0;
    auto [end, ec] = std::from_chars(hex.data() + i, hex.data() + i + 2, value, 16);
    if (ec != std::errc() || end != hex.data() + i + 2) return std::nullopt;
    out += static_cast<char>(value);
  }
  return out;
}

std::string Cut(std::string_view value) { return std::string(value.substr(0, value.find_first_of(std::string_view("\r\n\0", 3)))); }

// "Site<n>" with n a plain decimal number; 0 for other keys.
int SiteKeyNumber(std::string_view key) {
  if (key.size() < 5 || !ini::SameName(key.substr(0, 4), "Site") || key[4] == '0') return 0;
  int n = 0;
  auto [end, ec] = std::from_chars(key.data() + 4, key.data() + key.size(), n);
  return (ec == std::errc() && end == key.data() + key.size()) ? n : 0;
}

std::string LocalFolderKey(std::size_t i) { return "LocalFolder" + std::to_string(i + 1); }

}  // namespace

std::string PasswordScramble(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(static_cast<unsigned char>(c) ^ 0xC5);
  return out;
}

std::string NotesToComments(const std::vector<std::string>& lines) {
  if (lines.empty()) return "\"\"";
  std::string out;
  for (const std::string& line : lines) {
    out += ',';
    out += NeedsQuotes(line) ? Quoted(line) : line;
  }
  return out;
}

std::vector<std::string> CommentsToNotes(std::string_view value) {
  // Blanks outside quotes separate elements too, as in the lists earlier versions wrote.
  std::vector<std::string> elements;
  std::size_t pos = 0;
  auto skipBlanks = [&] {
    while (pos < value.size() && IsBlank(value[pos])) ++pos;
  };
  skipBlanks();
  while (pos < value.size()) {
    if (value[pos] == '"') {
      elements.push_back(TakeQuoted(value, pos));
    } else {
      std::size_t start = pos;
      while (pos < value.size() && !IsBlank(value[pos]) && value[pos] != ',') ++pos;
      elements.emplace_back(value.substr(start, pos - start));
    }
    skipBlanks();
    if (pos < value.size() && value[pos] == ',') {
      if (pos + 1 == value.size()) elements.emplace_back();
      ++pos;
      skipBlanks();
    }
  }
  if (!elements.empty()) elements.erase(elements.begin());
  return elements;
}

std::vector<std::string> SplitNotes(std::string_view text) {
  std::vector<std::string> lines;
  if (text.empty()) return lines;
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      lines.push_back(std::move(line));
      line.clear();
    } else {
      line += c;
    }
  }
  lines.push_back(std::move(line));
  return lines;
}

std::string JoinNotes(const std::vector<std::string>& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text += '\n';
    text += lines[i];
  }
  return text;
}

std::string ReadScrambled(const TIniFile& ini, std::string_view section, std::string_view key) {
  std::string plain = ini.ReadString(section, key, "");
  std::string hexKey = std::string(key) + "Hex";
  if (ini.ValueExists(section, hexKey)) {
    std::optional<std::string> full = FromHex(ini.ReadString(section, hexKey, ""));
    if (full && Cut(*full) == plain) return PasswordScramble(*full);
  }
  return PasswordScramble(plain);
}

void WriteScrambled(TIniFile& ini, std::string_view section, std::string_view key, std::string_view clear) {
  std::string scrambled = PasswordScramble(clear);
  ini.WriteString(section, key, scrambled);
  std::string hexKey = std::string(key) + "Hex";
  if (HasLineBreakOrNul(scrambled)) {
    ini.WriteString(section, hexKey, ToHex(scrambled));
  } else if (ini.ValueExists(section, hexKey)) {
    ini.DeleteKey(section, hexKey);
  }
}

bool SameSiteName(std::string_view a, std::string_view b) { return ini::SameName(a, b); }

TSiteFile::TSiteFile(std::string fileName) : FIni(std::move(fileName)) {}

std::vector<std::string> TSiteFile::ReadNames() const {
  auto values = FIni.ReadSectionValues(Sites);
  // Earlier versions read Site1 ... Site(n-1) of n values, n counting LastSite; a stale
  // numbered key beyond that stays unseen. A list without LastSite loses no name.
  bool hasLast = std::any_of(values.begin(), values.end(),
                             [](const auto& kv) { return ini::SameName(kv.first, LastSiteKey); });
  int count = static_cast<int>(values.size()) - (hasLast ? 1 : 0);
  std::vector<std::string> names;
  for (int i = 1; i <= count; ++i) {
    std::string name = FIni.ReadString(Sites, "Site" + std::to_string(i), "");
    if (name.empty()) continue;
    bool seen = std::any_of(names.begin(), names.end(), [&](const std::string& n) { return SameSiteName(n, name); });
    if (!seen) names.push_back(std::move(name));
  }
  return names;
}

std::string TSiteFile::ReadLastSite() const { return FIni.ReadString(Sites, LastSiteKey, NoSite); }

bool TSiteFile::SiteExists(std::string_view name) const { return !name.empty() && FIni.SectionExists(name); }

TSite TSiteFile::ReadSite(std::string_view name, std::string_view anonymousPassword) const {
  TSite site;
  site.Name = std::string(name);
  if (name.empty()) return site;
  site.Host = FIni.ReadString(name, "Host", "");
  site.Anonymous = FIni.ReadBool(name, "Anonymous", false);
  if (site.Anonymous) {
    site.User = std::string(AnonymousUser);
    site.Password = std::string(anonymousPassword);
  } else {
    site.User = FIni.ReadString(name, "User", AnonymousUser);
    site.Password = ReadScrambled(FIni, name, "Password");
  }
  site.HostFolder = FIni.ReadString(name, "HostFolder", "");
  site.Port = FIni.ReadInteger(name, "Port", DefaultPort);
  site.Firewall = FIni.ReadBool(name, "Firewall", true);
  site.CharacterSet = FIni.ReadString(name, "CharacterSet", "");
  site.Encryption = std::clamp(FIni.ReadInteger(name, "Encryption", 0), 0, 3);
  for (std::size_t i = 0; i < site.LocalFolders.size(); ++i)
    site.LocalFolders[i] = FIni.ReadString(name, LocalFolderKey(i), "");
  site.Notes = CommentsToNotes(FIni.ReadString(name, "Comments", ""));
  return site;
}

bool TSiteFile::WriteNames(const std::vector<std::string>& names, std::string_view lastSite) {
  for (std::size_t i = 0; i < names.size(); ++i)
    if (!FIni.WriteString(Sites, "Site" + std::to_string(i + 1), names[i])) return false;
  if (!FIni.WriteString(Sites, LastSiteKey, lastSite)) return false;
  for (const std::string& key : FIni.ReadSection(Sites))
    if (SiteKeyNumber(key) > static_cast<int>(names.size())) FIni.DeleteKey(Sites, key);
  return true;
}

bool TSiteFile::WriteSite(const TSite& site) {
  const std::string& s = site.Name;
  if (s.empty()) return false;
  bool ok = FIni.WriteString(s, "Host", site.Host) && FIni.WriteBool(s, "Anonymous", site.Anonymous) &&
            FIni.WriteString(s, "User", site.User);
  if (!ok) return false;
  WriteScrambled(FIni, s, "Password", site.Password);
  ok = FIni.WriteString(s, "HostFolder", site.HostFolder) && FIni.WriteInteger(s, "Port", site.Port) &&
       FIni.WriteBool(s, "Firewall", site.Firewall) && FIni.WriteInteger(s, "Encryption", site.Encryption);
  for (std::size_t i = 0; ok && i < site.LocalFolders.size(); ++i)
    ok = FIni.WriteString(s, LocalFolderKey(i), site.LocalFolders[i]);
  // A new key: sites left on Auto are written as before.
  if (site.CharacterSet.empty()) FIni.DeleteKey(s, "CharacterSet");
  else if (ok) ok = FIni.WriteString(s, "CharacterSet", site.CharacterSet);
  return ok && FIni.WriteString(s, "Comments", NotesToComments(site.Notes));
}

bool TSiteFile::DeleteSite(std::string_view name, const std::vector<std::string>& remaining) {
  // A site may be named like the list's own section; read what the erase could take along.
  std::string last = ReadLastSite();
  bool hadLast = FIni.ValueExists(Sites, LastSiteKey);
  FIni.EraseSection(name);
  for (std::size_t i = 0; i < remaining.size(); ++i)
    if (!FIni.WriteString(Sites, "Site" + std::to_string(i + 1), remaining[i])) return false;
  if (hadLast && !FIni.ValueExists(Sites, LastSiteKey)) FIni.WriteString(Sites, LastSiteKey, last);
  for (const std::string& key : FIni.ReadSection(Sites))
    if (SiteKeyNumber(key) > static_cast<int>(remaining.size())) FIni.DeleteKey(Sites, key);
  return true;
}

std::string DefaultPredefinedFolder() { return ProgramFilesFolder() + "Dev/"; }

std::optional<TPredefinedSite> ReadPredefinedSite(const std::string& folder) {
  std::string path = folder + "/dev.ini";
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
  TIniFile ini(path);
  TPredefinedSite site;
  site.Caption = ini.ReadString(PredefinedSection, "N", "");
  site.Host = ini.ReadString(PredefinedSection, "H", "");
  site.Anonymous = ini.ReadBool(PredefinedSection, "A", false);
  if (!site.Anonymous) {
    site.User = ini.ReadString(PredefinedSection, "I", "");
    site.Password = ReadScrambled(ini, PredefinedSection, "P");
  }
  return site;
}

bool WritePredefinedSite(const std::string& folder, const TPredefinedSite& site) {
  TIniFile ini(folder + "/dev.ini");
  bool ok = ini.WriteString(PredefinedSection, "N", site.Caption) && ini.WriteString(PredefinedSection, "H", site.Host) &&
            ini.WriteBool(PredefinedSection, "A", site.Anonymous);
  if (ok && !site.Anonymous) {
    ok = ini.WriteString(PredefinedSection, "I", site.User);
    if (ok) WriteScrambled(ini, PredefinedSection, "P", site.Password);
  }
  return ok;
}

}  // namespace ferrowin
