// Where the program keeps the user's files: an installed program never writes beside itself.

#include <gtest/gtest.h>

#include <filesystem>

#include "FTPUtils.h"
#include "ServerProcess.h"

namespace ferrowin {
namespace {

namespace fs = std::filesystem;

TEST(ProgramFolder, OnlyBinBesideShareFerrowinIsAnInstall) {
  test::TTempDir root;
  for (const char* folder : {"usr/bin", "usr/share/ferrowin", "build/app", "build/share/ferrowin", "opt/bin", "opt/share"})
    fs::create_directories(root.File(folder));
  const struct {
    const char* Folder;
    bool Installed;
  } cases[] = {{"usr/bin/", true}, {"usr/bin", true}, {"build/app/", false}, {"opt/bin/", false}, {"usr/share/", false}};
  for (const auto& c : cases) EXPECT_EQ(IsInstalledLayout(root.File(c.Folder)), c.Installed) << c.Folder;
}

}  // namespace
}  // namespace ferrowin
