#include <gtest/gtest.h>

#include "Manager.h"
#include "TempHome.h"

namespace ferrowin {
namespace {

class SiteFileTest : public ::testing::Test {
 protected:
  test::TTempHome Home;
  std::string Path = Home.File("Sites.ini");
};

TSite FullSite(const std::string& name) {
  TSite site;
  site.Name = name;
  site.Host = "ftp." + name + ".example";
  site.User = "user of " + name;
  site.Password = "secret";
  site.HostFolder = "/pub/" + name;
  site.Port = 2121;
  site.Firewall = false;
  site.Encryption = 2;
  site.LocalFolders = {"/home/a", "/home/b b", ""};
  site.Notes = {"first", "second line"};
  return site;
}

TEST_F(SiteFileTest, PasswordsComeBackWhateverTheirScrambledBytes) {
  struct Case {
    const char* what;
    std::string password;
  };
  const Case cases[] = {
      {"plain", "hunter2"},
      {"empty", ""},
      {"scrambles to NUL", "a\xC5z"},
      {"scrambles to CR and LF", "\xC8\xCF"},
      {"only a line break", "\xCF"},
      {"scrambles to blanks and quotes at the ends", "\xE5\xE7mid\xE7\xE5"},
      {"scrambles to '=' and ';' and '['", "\xF8\xFE\x9E"},
      {"UTF-8 with lead byte 0xC5", "za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87"},
      {"Greek and Romanian letters", "\xCF\x80\xCF\x83 \xC8\x9B"},
      {"every byte but NUL", [] {
         std::string s;
         for (int b = 1; b < 256; ++b) s += static_cast<char>(b);
         return s;
       }()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TSite site = FullSite("site");
    site.Password = c.password;
    TSiteFile(Path).WriteSite(site);
    EXPECT_EQ(TSiteFile(Path).ReadSite("site", "mail@x").Password, c.password);
    // The other keys of the section survive whatever the password wrote.
    TSite back = TSiteFile(Path).ReadSite("site", "mail@x");
    back.Password = site.Password;
    EXPECT_EQ(back, site);
  }
}

TEST_F(SiteFileTest, FileOfEarlierVersionsIsReadAsWritten) {
  // As earlier versions wrote it: the scrambled password byte for byte, no hex copy.
  std::string scrambled = PasswordScramble("pa ss");
  test::WriteFile(Path,
                  "[Sites]\r\nSite1=alpha\r\nSite2=\r\nSite3=beta\r\nLastSite=beta\r\nSite4=stale\r\n"
                  "[alpha]\r\nHost=ftp.alpha\r\nAnonymous=1\r\nUser=someone\r\nPassword=" +
                      PasswordScramble("unused") +
                      "\r\n"
                      "[beta]\r\nHost=beta.example\r\nAnonymous=0\r\nUser=bob\r\nPassword=" +
                      scrambled +
                      "\r\nPort=2100\r\nFirewall=0\r\nLocalFolder2=/tmp\r\n"
                      "Comments=,abc,\"de f\",\"say \"\"hi\"\"\",,x\r\n");
  TSiteFile sites(Path);
  // Five values, LastSite among them: Site1 ... Site4 are read; the empty Site2 is skipped.
  EXPECT_EQ(sites.ReadNames(), (std::vector<std::string>{"alpha", "beta", "stale"}));
  EXPECT_EQ(sites.ReadLastSite(), "beta");

  TSite alpha = sites.ReadSite("alpha", "me@example.org");
  EXPECT_TRUE(alpha.Anonymous);
  EXPECT_EQ(alpha.User, "anonymous");
  EXPECT_EQ(alpha.Password, "me@example.org");
  EXPECT_EQ(alpha.Port, 21);
  EXPECT_TRUE(alpha.Firewall);

  TSite beta = sites.ReadSite("BETA", "me@example.org");
  EXPECT_EQ(beta.User, "bob");
  EXPECT_EQ(beta.Password, "pa ss");
  EXPECT_EQ(beta.Port, 2100);
  EXPECT_FALSE(beta.Firewall);
  EXPECT_EQ(beta.LocalFolders[1], "/tmp");
  EXPECT_EQ(beta.Notes, (std::vector<std::string>{"abc", "de f", "say \"hi\"", "", "x"}));
  EXPECT_EQ(beta.CharacterSet, "");  // Auto
}

TEST_F(SiteFileTest, CharacterSetIsWrittenOnlyWhenChosen) {
  TSiteFile sites(Path);
  TSite site;
  site.Name = "old server";
  site.Host = "[2001:db8::1]:2121";
  for (const char* charset : {"ISO-8859-1", ""}) {
    site.CharacterSet = charset;
    ASSERT_TRUE(sites.WriteSite(site));
    EXPECT_EQ(sites.ReadSite(site.Name, ""), site);
    EXPECT_EQ(test::ReadFile(Path).find("CharacterSet") != std::string::npos, *charset != 0) << charset;
  }
}

TEST_F(SiteFileTest, ListReadingRules) {
  struct Case {
    const char* what;
    const char* sites;
    std::vector<std::string> names;
    const char* last;
  };
  const Case cases[] = {
      {"no file section", "", {}, "!"},
      {"stale key beyond the count", "Site1=a\nLastSite=a\nSite3=old\n", {"a"}, "a"},
      {"no LastSite loses no name", "Site1=a\nSite2=b\n", {"a", "b"}, "!"},
      {"repeats differing in case once", "Site1=Alpha\nSite2=alpha\nSite3=b\nLastSite=b\n", {"Alpha", "b"}, "b"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::WriteFile(Path, std::string(*c.sites ? "[Sites]\n" : "") + c.sites);
    TSiteFile sites(Path);
    EXPECT_EQ(sites.ReadNames(), c.names);
    EXPECT_EQ(sites.ReadLastSite(), c.last);
  }
}

TEST_F(SiteFileTest, MissingKeysGiveTheDefaults) {
  test::WriteFile(Path, "[bare]\nHost=h\n");
  TSite site = TSiteFile(Path).ReadSite("bare", "mail@x");
  EXPECT_EQ(site.User, "anonymous");
  EXPECT_EQ(site.Password, "");  // not the scrambled e-mail address
  EXPECT_EQ(site.Port, 21);
  EXPECT_TRUE(site.Firewall);
  EXPECT_EQ(site.Encryption, 0);
  EXPECT_TRUE(site.Notes.empty());
  EXPECT_EQ(TSiteFile(Path).ReadSite("absent", "mail@x").Host, "");
}

TEST_F(SiteFileTest, HexCopyOfPasswordIsUsedOnlyWhileItAgrees) {
  TSite site = FullSite("s");
  site.Password = "ab\xC8" "cd";  // scrambles to a CR
  TSiteFile(Path).WriteSite(site);
  std::string text = test::ReadFile(Path);
  EXPECT_NE(text.find("PasswordHex="), std::string::npos);
  // An older version saves the site again: it rewrites Password only.
  TIniFile(Path).WriteString("s", "Password", PasswordScramble("new"));
  EXPECT_EQ(TSiteFile(Path).ReadSite("s", "").Password, "new");
  // A password without such bytes leaves no copy behind.
  site.Password = "plain";
  TSiteFile(Path).WriteSite(site);
  EXPECT_EQ(test::ReadFile(Path).find("PasswordHex"), std::string::npos);
}

TEST(SiteNotes, CommaListForm) {
  struct Case {
    std::vector<std::string> lines;
    const char* written;
  };
  const Case cases[] = {
      {{}, "\"\""},
      {{"abc", "de f"}, ",abc,\"de f\""},
      {{"a,b"}, ",\"a,b\""},
      {{"say \"x\""}, ",\"say \"\"x\"\"\""},
      {{"", ""}, ",,"},
      {{"tab\there"}, ",\"tab\there\""},
      {{" lead", "trail "}, ",\" lead\",\"trail \""},
      {{"\"\""}, ",\"\"\"\"\"\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.written);
    EXPECT_EQ(NotesToComments(c.lines), c.written);
    EXPECT_EQ(CommentsToNotes(c.written), c.lines);
  }
}

TEST(SiteNotes, TextLinesRoundTrip) {
  const char* texts[] = {"", "one", "a\nb", "a\n", "\n", "\n\nx, \"y\" z\n"};
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    EXPECT_EQ(JoinNotes(CommentsToNotes(NotesToComments(SplitNotes(text)))), text);
  }
  EXPECT_EQ(SplitNotes("a\r\nb\rc"), (std::vector<std::string>{"a", "b", "c"}));
}

TEST_F(SiteFileTest, DeletingRenumbersWithoutGaps) {
  TSiteFile sites(Path);
  for (const char* name : {"Alpha", "Beta", "Gamma"}) sites.WriteSite(FullSite(name));
  sites.WriteNames({"Alpha", "Beta", "Gamma"}, "Gamma");
  sites.DeleteSite("Beta", {"Alpha", "Gamma"});

  TIniFile ini(Path);
  EXPECT_EQ(ini.ReadString("Sites", "Site1", "?"), "Alpha");
  EXPECT_EQ(ini.ReadString("Sites", "Site2", "?"), "Gamma");
  EXPECT_FALSE(ini.ValueExists("Sites", "Site3"));
  EXPECT_FALSE(ini.SectionExists("Beta"));
  EXPECT_EQ(ini.ReadString("Sites", "LastSite", "?"), "Gamma");
  EXPECT_EQ(sites.ReadNames(), (std::vector<std::string>{"Alpha", "Gamma"}));
  EXPECT_EQ(sites.ReadSite("Gamma", ""), FullSite("Gamma"));
}

TEST_F(SiteFileTest, SiteNamedLikeTheListSection) {
  TSiteFile sites(Path);
  for (const char* name : {"a", "sites", "z"}) sites.WriteSite(FullSite(name));
  sites.WriteNames({"a", "sites", "z"}, "z");
  EXPECT_EQ(sites.ReadNames(), (std::vector<std::string>{"a", "sites", "z"}));
  EXPECT_EQ(sites.ReadSite("sites", "").Host, "ftp.sites.example");
  sites.DeleteSite("sites", {"a", "z"});
  EXPECT_EQ(sites.ReadNames(), (std::vector<std::string>{"a", "z"}));
  EXPECT_EQ(sites.ReadLastSite(), "z");
}

TEST_F(SiteFileTest, ShorterListDropsNumberedKeysBeyondIt) {
  test::WriteFile(Path, "[Sites]\nSite1=a\nSite2=b\nSite3=c\nSite7=x\nSite03=keep\nLastSite=a\n");
  TSiteFile sites(Path);
  sites.WriteNames({"a"}, "a");
  EXPECT_EQ(test::ReadFile(Path), "[Sites]\nSite1=a\nSite03=keep\nLastSite=a\n");
}

TEST_F(SiteFileTest, PredefinedSite) {
  std::string folder = Home.File("Dev");
  EXPECT_FALSE(ReadPredefinedSite(folder).has_value());
  std::filesystem::create_directories(folder);
  test::WriteFile(folder + "/dev.ini", "[Site]\nN=Our server\nH=ftp.ours\nA=0\nI=guest\nP=" +
                                           PasswordScramble("pw d") + "\n");
  auto site = ReadPredefinedSite(folder);
  ASSERT_TRUE(site.has_value());
  EXPECT_EQ(site->Caption, "Our server");
  EXPECT_EQ(site->Host, "ftp.ours");
  EXPECT_EQ(site->User, "guest");
  EXPECT_EQ(site->Password, "pw d");
  site->Password = "g\xC8st";  // scrambles to a CR
  WritePredefinedSite(folder, *site);
  EXPECT_EQ(ReadPredefinedSite(folder)->Password, "g\xC8st");
  site->Anonymous = true;
  WritePredefinedSite(folder, *site);
  EXPECT_EQ(ReadPredefinedSite(folder)->User, "");
}

}  // namespace
}  // namespace ferrowin
