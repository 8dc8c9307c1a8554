#pragma once
// Local copies of remote files fetched to open, view or edit: kept while the program runs,
// deleted when it ends (the programs showing them may still need them until then).

#include <string>
#include <vector>

namespace ferrowin {

class TTempFiles {
 public:
  TTempFiles() = default;
  TTempFiles(const TTempFiles&) = delete;
  TTempFiles& operator=(const TTempFiles&) = delete;
  ~TTempFiles();
  void Add(const std::string& path);
  [[nodiscard]] const std::vector<std::string>& Files() const { return Paths; }

 private:
  std::vector<std::string> Paths;
};

}  // namespace ferrowin
