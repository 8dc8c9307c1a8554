#pragma once
// TIniFile: the settings file and the site file, read and written with the rules the program
// has always relied on: sections and keys compare without regard to case, the first section
// and the first key of a name win, and writing one key leaves every other line of the file
// as it was (comments, blank lines, unknown keys, the file's line ends).
//
// Values are kept byte for byte: everything after the first "=" up to the end of the line,
// spaces and quotes included, because scrambled passwords can start or end with any byte.
// The only bytes a value cannot hold are CR, LF and NUL; a value is cut at the first of them
// when written, so a value can never add lines (or sections) to the file.
//
// Every change is written to disk at once (through a temporary file and a rename, so a
// failed write never leaves half a file). Reads notice when the file was changed by someone
// else and read it again. Standard library only.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ferrowin {

class TIniFile {
 public:
  explicit TIniFile(std::string fileName);

  [[nodiscard]] const std::string& FileName() const { return FFileName; }

  [[nodiscard]] std::string ReadString(std::string_view section, std::string_view key,
                                       std::string_view defaultValue) const;
  // Decimal, or hexadecimal written "$1F" or "0x1F"; surrounding blanks are allowed. Text
  // that is not a number in range gives the default.
  [[nodiscard]] int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
  // Any integer but 0 is true.
  [[nodiscard]] bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;

  // False when the file cannot be written or the section or key name cannot be stored
  // (empty, or holding a character that would change the file's structure).
  bool WriteString(std::string_view section, std::string_view key, std::string_view value);
  bool WriteInteger(std::string_view section, std::string_view key, int value);
  bool WriteBool(std::string_view section, std::string_view key, bool value);

  [[nodiscard]] bool SectionExists(std::string_view section) const;
  [[nodiscard]] bool ValueExists(std::string_view section, std::string_view key) const;
  // The section names of the file, in order, each once.
  [[nodiscard]] std::vector<std::string> ReadSections() const;
  // The key names of a section, in order, each once (the first occurrence).
  [[nodiscard]] std::vector<std::string> ReadSection(std::string_view section) const;
  // The keys of a section with their values, in order, each key once (the first occurrence).
  [[nodiscard]] std::vector<std::pair<std::string, std::string>> ReadSectionValues(std::string_view section) const;

  // Removes every section of that name with all its lines.
  bool EraseSection(std::string_view section);
  // Removes the key (every line of it) from the section.
  bool DeleteKey(std::string_view section, std::string_view key);

 private:
  struct TLine {
    std::string Text;  // without the line end
  };
  struct TStamp {
    std::filesystem::file_time_type Time{};
    std::uintmax_t Size = 0;
    bool Exists = false;
    bool operator==(const TStamp&) const = default;
  };

  void Refresh() const;
  [[nodiscard]] TStamp CurrentStamp() const;
  bool Save();
  // Index of the first line of the first section of that name; npos when absent.
  [[nodiscard]] std::size_t FindSection(std::string_view section) const;
  // One past the last line of the section starting at header.
  [[nodiscard]] std::size_t SectionEnd(std::size_t header) const;
  [[nodiscard]] std::size_t FindKey(std::size_t header, std::string_view key) const;

  std::string FFileName;
  mutable std::vector<TLine> FLines;
  mutable std::string FLineEnd = "\n";
  mutable std::string FBom;
  mutable TStamp FStamp;
};

// Helpers for the profile rules, shared with the tests.
namespace ini {
// Parses a section header line; false when the line is not one.
bool ParseSection(std::string_view line, std::string& name);
// Parses a key line into its trimmed key and its value as is; false for other lines
// (blank lines, comments, headers, lines without "=").
bool ParseKey(std::string_view line, std::string& key, std::string& value);
bool SameName(std::string_view a, std::string_view b);
bool IsBlankOrComment(std::string_view line);
}  // namespace ini

}  // namespace ferrowin
