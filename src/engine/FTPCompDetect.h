#pragma once
// Recognising the server's type from its welcome, its SYST reply or its HELP text.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ferrowin {

struct TServerTypeXRef {
  std::string_view Text;  // spaces count
  int ServerType;
};

// A detection table, searched in order; entries from FirstLowerCase on are compared with the
// line in lower case.
struct TDetectionTable {
  std::span<const TServerTypeXRef> Entries;
  std::size_t FirstLowerCase;
};
TDetectionTable WelcomeDetectionTable();
TDetectionTable SystDetectionTable();
TDetectionTable HelpDetectionTable();

// Each returns the server type of the first matching line, or 0 when nothing matches.
int ServerTypeFromWelcome(const std::vector<std::string>& lines);
int ServerTypeFromSyst(const std::vector<std::string>& lines);
int ServerTypeFromHelp(const std::vector<std::string>& lines);

}  // namespace ferrowin
