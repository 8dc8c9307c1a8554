#include "TempFiles.h"

#include <algorithm>
#include <filesystem>

namespace ferrowin {

TTempFiles::~TTempFiles() {
  std::error_code ignored;
  for (const std::string& path : Paths) std::filesystem::remove(path, ignored);
}

void TTempFiles::Add(const std::string& path) {
  if (std::find(Paths.begin(), Paths.end(), path) == Paths.end()) Paths.push_back(path);
}

}  // namespace ferrowin
