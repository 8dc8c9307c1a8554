#pragma once
// The upload name conversion: how a local file name becomes the remote one (case, spaces,
// short names), as chosen on the Conversions page of the preferences.

#include <string>
#include <string_view>

#include "Options.h"

namespace ferrowin {

struct TNameConversion {
  int Case = 0;              // TConversionCase
  bool UseShortName = false;
  int Spaces = 0;            // TConversionSpaces
  std::string Char = "_";    // replacement; its first character is used
};

[[nodiscard]] TNameConversion NameConversionOf(const TPreferences& prefs);

// Converts a name that is already the one to act on (the short name when UseShortName is
// on): case first, then every space (every "~" for short names) is left, removed or replaced.
[[nodiscard]] std::string ConvertFileName(std::string_view name, const TNameConversion& conversion);

// The remote name for uploading the local file at localPath.
[[nodiscard]] std::string ConvertUploadName(const std::string& localPath, const TNameConversion& conversion);

}  // namespace ferrowin
