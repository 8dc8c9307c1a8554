#pragma once
// Recognising the server's type from its welcome, its SYST reply or its HELP text.

#include <string>
#include <vector>

namespace ferrowin {

// Each returns the server type of the first matching line, or 0 when nothing matches.
int ServerTypeFromWelcome(const std::vector<std::string>& lines);
int ServerTypeFromSyst(const std::vector<std::string>& lines);
int ServerTypeFromHelp(const std::vector<std::string>& lines);

}  // namespace ferrowin
