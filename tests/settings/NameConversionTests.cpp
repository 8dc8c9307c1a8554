#include <gtest/gtest.h>

#include <filesystem>

#include "NameConversion.h"
#include "ShortName.h"
#include "TempHome.h"

namespace ferrowin {
namespace {

TEST(NameConversion, CaseAndSpaces) {
  struct TCase {
    const char* Name;
    int Case;
    bool Short;
    int Spaces;
    const char* Char;
    const char* Expected;
  };
  const TCase cases[] = {
      {"Read the Instructions.txt", 0, false, 0, "_", "Read the Instructions.txt"},
      {"Read the Instructions.txt", 1, false, 0, "_", "read the instructions.txt"},
      {"Read the Instructions.txt", 2, false, 0, "_", "READ THE INSTRUCTIONS.TXT"},
      {"Read the Instructions.txt", 0, false, 1, "_", "ReadtheInstructions.txt"},
      {"Read the Instructions.txt", 1, false, 2, "-", "read-the-instructions.txt"},
      {"Read  the.txt", 0, false, 2, "xyz", "Readxxthe.txt"},
      {"READTH~1.TXT", 1, true, 0, "_", "readth~1.txt"},
      {"READTH~1.TXT", 0, true, 1, "_", "READTH1.TXT"},
      {"READTH~1.TXT", 0, true, 2, "_", "READTH_1.TXT"},
      {"A B~1.TXT", 0, true, 2, "_", "A B_1.TXT"},  // short names leave spaces alone
      {"\xC3\x84rger Datei.txt", 1, false, 2, "\xC3\xA9", "\xC3\xA4rger\xC3\xA9" "datei.txt"},
      // A replacement that would make a path, or none at all, becomes "_".
      {"a b.txt", 0, false, 2, "/", "a_b.txt"},
      {"a b.txt", 0, false, 2, "", "a_b.txt"},
      {"a b.txt", 0, false, 2, "\t", "a_b.txt"},
      // Values outside the choices leave the name as it is.
      {"a b.txt", 7, false, 9, "_", "a b.txt"},
  };
  for (const TCase& c : cases) {
    TNameConversion conversion{c.Case, c.Short, c.Spaces, c.Char};
    EXPECT_EQ(ConvertFileName(c.Name, conversion), c.Expected) << c.Name << " case " << c.Case << " spaces " << c.Spaces;
  }
}

TEST(ShortName, ClassicAliasRule) {
  using TNames = std::vector<std::string>;
  struct TCase {
    const char* Name;
    TNames Siblings;
    const char* Expected;
  };
  const TCase cases[] = {
      {"Read the Instructions.txt", {}, "READTH~1.TXT"},
      {"readme.txt", {}, "readme.txt"},  // already 8.3
      {"README", {}, "README"},
      {"file.tar.gz", {}, "FILETA~1.GZ"},
      {"Letter.html", {}, "LETTER~1.HTM"},
      {".bashrc", {}, "BASHRC~1"},
      {"a+b=c.txt", {}, "A_B_C~1.TXT"},
      {"\xC3\xA9t\xC3\xA9 long.txt", {}, "_T_LON~1.TXT"},
      {"...", {}, "_~1"},
      // Competing names are numbered in name order; existing 8.3 names are skipped.
      {"Read the Instructions.txt", {"Read the Instructions.txt", "Read thE Instructions.txt"}, "READTH~2.TXT"},
      {"Read the Instructions.txt", {"Read the Instructions2.txt"}, "READTH~1.TXT"},
      {"Read the Instructions2.txt", {"Read the Instructions.txt"}, "READTH~2.TXT"},
      {"Read the Instructions.txt", {"READTH~1.TXT", "readth~2.txt"}, "READTH~3.TXT"},
      {"Read the Instructions.txt", {"Read the Instructions.doc"}, "READTH~1.TXT"},
  };
  for (const TCase& c : cases) EXPECT_EQ(ShortName(c.Name, c.Siblings), c.Expected) << c.Name;

  TNames many;
  for (int i = 0; i < 12; ++i) many.push_back("Long name " + std::string(1, static_cast<char>('a' + i)) + ".txt");
  EXPECT_EQ(ShortName(many[8], many), "LONGNA~9.TXT");
  EXPECT_EQ(ShortName(many[9], many), "LONGN~10.TXT");
}

TEST(NameConversion, UploadNameOfALocalFile) {
  test::TTempHome home;
  for (const char* name : {"Read the Instructions.txt", "READTH~1.TXT", "plain.txt"})
    test::WriteFile(home.File(name), "x");
  const std::string path = home.File("Read the Instructions.txt");
  struct TCase {
    TNameConversion Conversion;
    const char* Expected;
  };
  const TCase cases[] = {
      {{0, false, 0, "_"}, "Read the Instructions.txt"},
      {{1, false, 2, "_"}, "read_the_instructions.txt"},
      {{0, true, 0, "_"}, "READTH~2.TXT"},
      {{1, true, 1, "_"}, "readth2.txt"},
  };
  for (const TCase& c : cases) EXPECT_EQ(ConvertUploadName(path, c.Conversion), c.Expected) << c.Expected;
  EXPECT_EQ(ConvertUploadName(home.File("plain.txt"), {2, true, 0, "_"}), "PLAIN.TXT");
}

}  // namespace
}  // namespace ferrowin
