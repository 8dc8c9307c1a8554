#pragma once
// One JSON object per listing entry, one per line:
// {"name": "...", "attributes": N, "size": N, "date": "YYYY-MM-DD HH:MM"}

#include <ostream>
#include <string>
#include <string_view>

#include "Parsers.h"

namespace ferrowin {

// A JSON string literal. Names are bytes in the server's code page, so bytes from 0x80 on are
// passed through as they are; quotes, backslashes and control characters are escaped.
std::string JsonString(std::string_view text);

std::string ListingEntryJson(const TListingEntry& entry);
void WriteListingEntryJson(std::ostream& out, const TListingEntry& entry);

}  // namespace ferrowin
