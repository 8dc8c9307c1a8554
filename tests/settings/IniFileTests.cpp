#include <gtest/gtest.h>

#include "IniFile.h"
#include "TempHome.h"

namespace ferrowin {
namespace {

using test::ReadFile;
using test::WriteFile;

class IniFileTest : public ::testing::Test {
 protected:
  test::TTempHome Home;
  std::string Path = Home.File("test.ini");
};

struct TReadCase {
  const char* Name;
  std::string Content;
  const char* Section;
  const char* Key;
  std::string Expected;
};

TEST_F(IniFileTest, ReadsByTheProfileRules) {
  const TReadCase cases[] = {
      {"section and key ignore case", "[General]\nEMail=a@b\n", "GENERAL", "email", "a@b"},
      {"first section of a name wins", "[S]\nK=one\n[s]\nK=two\n", "S", "K", "one"},
      {"only the first section is searched", "[S]\nA=1\n[S]\nK=two\n", "S", "K", "<none>"},
      {"first key of a name wins", "[S]\nk=one\nK=two\n", "S", "K", "one"},
      {"value kept byte for byte", "[S]\nK=  \"quoted\" ;x \t\n", "S", "K", "  \"quoted\" ;x \t"},
      {"value may hold =", "[S]\nK=a=b=c\n", "S", "K", "a=b=c"},
      {"blanks around the key", "[S]\n  K \t=v\n", "S", "K", "v"},
      {"blanks around the header", "  [ S ]  \nK=v\n", "S", "K", "v"},
      {"CRLF line ends", "[S]\r\nK=v\r\nL=w\r\n", "S", "K", "v"},
      {"last line without line end", "[S]\nK=v", "S", "K", "v"},
      {"comment is no key", "[S]\n;K=c\n", "S", "K", "<none>"},
      {"key of another section", "[A]\nK=a\n[B]\nX=b\n", "B", "K", "<none>"},
      {"byte order mark", "\xEF\xBB\xBF[S]\nK=v\n", "S", "K", "v"},
      {"empty value", "[S]\nK=\n", "S", "K", ""},
  };
  for (const TReadCase& c : cases) {
    WriteFile(Path, c.Content);
    TIniFile ini(Path);
    EXPECT_EQ(ini.ReadString(c.Section, c.Key, "<none>"), c.Expected) << c.Name;
  }
}

TEST_F(IniFileTest, ReadIntegerAcceptsNumbersOnly) {
  const std::pair<const char*, int> cases[] = {
      {"12", 12},   {" 12 ", 12}, {"-5", -5},   {"$1F", 31},  {"0x1F", 31}, {"abc", 7},
      {"", 7},      {"1.5", 7},   {"12a", 7},   {"--1", 7},   {"99999999999", 7}, {"2147483647", 2147483647},
  };
  for (auto [text, expected] : cases) {
    WriteFile(Path, std::string("[S]\nK=") + text + "\n");
    EXPECT_EQ(TIniFile(Path).ReadInteger("S", "K", 7), expected) << '"' << text << '"';
  }
  WriteFile(Path, "[S]\nT=1\nF=0\nX=yes\n");
  TIniFile ini(Path);
  EXPECT_TRUE(ini.ReadBool("S", "T", false));
  EXPECT_FALSE(ini.ReadBool("S", "F", true));
  EXPECT_TRUE(ini.ReadBool("S", "X", true));
  EXPECT_FALSE(ini.ReadBool("S", "Missing", false));
}

TEST_F(IniFileTest, WritingAKeyKeepsEveryOtherLine) {
  WriteFile(Path,
            "; my settings\r\n[General]\r\nEMail=old\r\nUnknown = kept \r\n\r\n; before advanced\r\n"
            "[Advanced]\r\nListHidden=0\r\n");
  TIniFile ini(Path);
  ASSERT_TRUE(ini.WriteString("general", "email", "new"));
  ASSERT_TRUE(ini.WriteString("General", "Viewer", "/usr/bin/less"));
  ASSERT_TRUE(ini.WriteBool("Firewall", "Enabled", true));
  ASSERT_TRUE(ini.WriteString("Advanced", "listhidden", "1"));
  EXPECT_EQ(ReadFile(Path),
            "; my settings\r\n[General]\r\nEMail=new\r\nUnknown = kept \r\nViewer=/usr/bin/less\r\n\r\n"
            "; before advanced\r\n[Advanced]\r\nListHidden=1\r\n\r\n[Firewall]\r\nEnabled=1\r\n");
}

TEST_F(IniFileTest, EveryByteButLineBreaksAndNulRoundTrips) {
  std::string value;
  for (int b = 1; b < 256; ++b)
    if (b != '\r' && b != '\n') value += static_cast<char>(b);
  value = " " + value + " ";
  {
    TIniFile ini(Path);
    ASSERT_TRUE(ini.WriteString("Site", "Password", value));
    ASSERT_TRUE(ini.WriteString("Site", "Next", "x"));
  }
  TIniFile again(Path);
  EXPECT_EQ(again.ReadString("Site", "Password", ""), value);
  EXPECT_EQ(again.ReadString("Site", "Next", ""), "x");
}

TEST_F(IniFileTest, ValuesAndNamesCannotChangeTheFileStructure) {
  TIniFile ini(Path);
  ASSERT_TRUE(ini.WriteString("S", "K", "first\r\n[Injected]\nEvil=1"));
  EXPECT_EQ(ini.ReadString("S", "K", ""), "first");
  EXPECT_FALSE(ini.SectionExists("Injected"));
  ASSERT_TRUE(ini.WriteString("S", "Z", std::string("ab\0cd", 5)));
  EXPECT_EQ(TIniFile(Path).ReadString("S", "Z", "-"), "ab");

  const std::pair<const char*, const char*> refused[] = {
      {"S", "a=b"}, {"S", ""}, {"S", "  "}, {"S", ";c"}, {"S", "[x"}, {"S", "a\nb"}, {"a]b", "K"}, {"", "K"}, {"a\nb", "K"},
  };
  for (auto [section, key] : refused) EXPECT_FALSE(ini.WriteString(section, key, "v")) << section << " / " << key;
  EXPECT_EQ(ReadFile(Path), "[S]\nK=first\nZ=ab\n");
}

TEST_F(IniFileTest, EraseSectionAndDeleteKey) {
  WriteFile(Path, "[URLs]\nURL0=a\n[Keep]\nK=1\nK=2\nL=3\n[urls]\nURL0=stale\n");
  TIniFile ini(Path);
  ASSERT_TRUE(ini.EraseSection("URLs"));
  EXPECT_FALSE(ini.SectionExists("URLs"));  // every section of the name goes
  ASSERT_TRUE(ini.DeleteKey("keep", "k"));
  EXPECT_FALSE(ini.ValueExists("Keep", "K"));  // no second occurrence surfaces
  EXPECT_EQ(ini.ReadString("Keep", "L", ""), "3");
  // Nothing to remove is no failure.
  EXPECT_TRUE(ini.DeleteKey("Missing", "K") && ini.DeleteKey("Keep", "Absent") && ini.EraseSection("Missing"));
  EXPECT_EQ(ReadFile(Path), "[Keep]\nL=3\n");
}

TEST_F(IniFileTest, ReadsSectionsAndValuesInOrder) {
  WriteFile(Path, "[Sites]\nSite1=b\n; note\nsite1=dup\nLastSite=x\nSite2=a\n[Other]\n[SITES]\nSite3=z\n");
  TIniFile ini(Path);
  using TPairs = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(ini.ReadSectionValues("sites"), (TPairs{{"Site1", "b"}, {"LastSite", "x"}, {"Site2", "a"}}));
  EXPECT_EQ(ini.ReadSection("Sites"), (std::vector<std::string>{"Site1", "LastSite", "Site2"}));
  EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"Sites", "Other"}));
  EXPECT_TRUE(ini.ReadSectionValues("Missing").empty());
}

TEST_F(IniFileTest, SeesChangesMadeThroughAnotherObject) {
  TIniFile first(Path);
  EXPECT_EQ(first.ReadString("S", "K", "none"), "none");
  TIniFile second(Path);
  ASSERT_TRUE(second.WriteString("S", "K", "written elsewhere, longer"));
  EXPECT_EQ(first.ReadString("S", "K", "none"), "written elsewhere, longer");
  ASSERT_TRUE(first.WriteString("S", "L", "2"));
  EXPECT_EQ(TIniFile(Path).ReadString("S", "K", ""), "written elsewhere, longer");
}

TEST_F(IniFileTest, NewFilesArePrivateAndRewritesKeepPermissions) {
  namespace fs = std::filesystem;
  const fs::perms mask = fs::perms::all;
  TIniFile(Path).WriteString("Firewall", "Password", "secret");
  EXPECT_EQ(fs::status(Path).permissions() & mask, fs::perms::owner_read | fs::perms::owner_write);
  const fs::perms shared = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read;
  fs::permissions(Path, shared);
  TIniFile(Path).WriteString("General", "EMail", "x");
  EXPECT_EQ(fs::status(Path).permissions() & mask, shared);
}

TEST_F(IniFileTest, UnwritableFileReportsFailure) {
  std::string path = Home.File("missing-folder-is-a-file");
  WriteFile(path, "");
  TIniFile ini(path + "/settings.ini");
  EXPECT_FALSE(ini.WriteString("S", "K", "v"));
  EXPECT_EQ(ini.ReadString("S", "K", "default"), "v");  // kept in memory for this run
}

}  // namespace
}  // namespace ferrowin
