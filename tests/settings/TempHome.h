#pragma once
// A temporary folder that stands in for the program's folder and the user's configuration
// folder during a test, so no test reads or writes the user's files or the build tree.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace ferrowin::test {

class TTempHome {
 public:
  TTempHome() {
    std::string pattern = (std::filesystem::temp_directory_path() / "ferrowin-settings-XXXXXX").string();
    Path = ::mkdtemp(pattern.data()) ? pattern : std::string();
    ::setenv("FERROWIN_HOME", Path.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (Path + "/xdg").c_str(), 1);
  }
  ~TTempHome() {
    std::error_code ec;
    std::filesystem::remove_all(Path, ec);
  }
  TTempHome(const TTempHome&) = delete;
  TTempHome& operator=(const TTempHome&) = delete;

  [[nodiscard]] std::string File(const std::string& name) const { return Path + "/" + name; }

  std::string Path;
};

inline void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace ferrowin::test
