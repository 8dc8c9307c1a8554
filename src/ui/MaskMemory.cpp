#include "MaskMemory.h"

#include <algorithm>

namespace ferrowin {

std::string MaskOfEntry(std::string_view entry) {
  const std::size_t open = entry.find(" (");
  const std::size_t close = entry.rfind(')');
  if (open == std::string_view::npos || close == std::string_view::npos || close < open + 2) return std::string(entry);
  return std::string(entry.substr(open + 2, close - open - 2));
}

void TMaskMemory::Record(const std::string& mask) {
  auto found = std::find(Recent.begin(), Recent.end(), mask);
  if (found != Recent.end()) Recent.erase(found);
  Recent.insert(Recent.begin(), mask);
  if (Recent.size() > Count) Recent.resize(Count);
}

}  // namespace ferrowin
