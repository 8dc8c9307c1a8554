#pragma once
// Short (8.3) names. This system keeps none, so they are made with the classic alias rule:
// "Read the Instructions.txt" becomes "READTH~1.TXT", the number chosen so that no two names
// of one folder share an alias.

#include <string>
#include <string_view>
#include <vector>

namespace ferrowin {

// Whether a name is already a valid 8.3 name (it is then its own short name).
[[nodiscard]] bool IsValidShortName(std::string_view name);

// The alias of longName among the other names of its folder. Names competing for the same
// alias get their numbers in name order; valid 8.3 names of the folder are never reused.
[[nodiscard]] std::string ShortName(std::string_view longName, const std::vector<std::string>& siblings);

// The short name of the last component of a local path, among the entries of its folder
// (none when the folder cannot be read).
[[nodiscard]] std::string ShortFileName(const std::string& path);

}  // namespace ferrowin
