#include "ListingJson.h"

#include "Format.h"

namespace ferrowin {

std::string JsonString(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  out += '"';
  for (const char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20)
          out += Format("\\u%.4x", static_cast<unsigned char>(c));
        else
          out += c;
    }
  }
  out += '"';
  return out;
}

std::string ListingEntryJson(const TListingEntry& entry) {
  return Format("{\"name\": %s, \"attributes\": %u, \"size\": %d, \"date\": %s}",
                JsonString(entry.Name), entry.Attributes, entry.Size,
                JsonString(FormatDateTimeISO(entry.Date)));
}

void WriteListingEntryJson(std::ostream& out, const TListingEntry& entry) {
  out << ListingEntryJson(entry) << '\n';
}

}  // namespace ferrowin
