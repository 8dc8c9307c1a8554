#include <gtest/gtest.h>

#include "FTPCompSettings.h"
#include "IniFile.h"
#include "NameCodec.h"
#include "Options.h"
#include "TempHome.h"

namespace ferrowin {
namespace {

using test::ReadFile;
using test::WriteFile;

class OptionsStoreTest : public ::testing::Test {
 protected:
  test::TTempHome Home;
  std::string Path = Home.File("ferrowin.ini");

  TPreferences Load() {
    TPreferences p;
    LoadPreferences(p, Path);
    return p;
  }
};

TPreferences Defaults() {
  TPreferences p;
  p.LogFile = DefaultLogFile();
  return p;
}

// Every field away from its default.
TPreferences Changed() {
  TPreferences p;
  p.PinTransferWindow = true;
  p.EMail = "me@here.example";
  p.Viewer = "/usr/bin/less";
  p.LogFile = "/tmp/x y.log";
  p.LogToFile = true;
  p.ShowToolTips = false;
  p.DefaultDir = "/home/me/Web pages";
  p.NoXferOlder = true;
  p.ASCIIOnView = false;
  p.PreserveTimeStamp = false;
  p.ConfirmOverwrites = false;
  p.ConfirmRestarts = false;
  p.ListHidden = true;
  p.TryToResume = 2;
  p.LocalDblClk = 0;
  p.HostDblClk = 1;
  p.ShowManager = false;
  p.PromptForPass = false;
  p.Ping = false;
  p.UsePASV = false;
  p.QuickDisconnect = true;
  p.RetryDelay = 17;
  p.Retries = 9;
  p.InfiniteRetry = true;
  p.Timeout = 45;
  p.TransferMode = 4;
  p.SingleConnectionsOnly = false;
  p.MachineListings = false;
  p.CodePage = "KOI8-R";
  p.ConversionCase = 2;
  p.ConversionUseShortName = true;
  p.ConversionSpaces = 2;
  p.ConversionChar = "-";
  p.FirewallEnabled = true;
  p.FirewallType = 3;
  p.FirewallHost = "proxy.example";
  p.FirewallPort = 2121;
  p.FirewallUser = "fw";
  p.FirewallPassword = " secret=with;odd\"bytes\xC3\xA9 ";
  p.Sounds = {"/s/0.wav", "", "/s/2.wav", "/s/3.wav", "", "/s/5.wav"};
  p.FileTypes = {".TXT", ".md"};
  p.URLs = {"ftp://a/", "ftp://b/dir/"};
  return p;
}

TEST_F(OptionsStoreTest, RoundTripKeepsEveryValue) {
  const TPreferences saved = Changed();
  ASSERT_TRUE(SavePreferences(saved, Path));
  EXPECT_EQ(Load(), saved);
  // A second save of the same set changes nothing in the file.
  const std::string first = ReadFile(Path);
  ASSERT_TRUE(SavePreferences(saved, Path));
  EXPECT_EQ(ReadFile(Path), first);
}

TEST_F(OptionsStoreTest, MissingFileOrKeysGiveDefaults) {
  EXPECT_EQ(Load(), Defaults());
  WriteFile(Path, "[General]\nEMail=\n[FileTypes]\n[Connection]\nTimeout=soon\n");
  EXPECT_EQ(Load(), Defaults());  // an empty e-mail and a non-number take the defaults too
  // Passive unless the file holds the key; a stored active mode is kept.
  EXPECT_TRUE(Load().UsePASV);
  WriteFile(Path, "[Connection]\nUsePASV=0\n");
  EXPECT_FALSE(Load().UsePASV);
}

TEST_F(OptionsStoreTest, LegacyLowerCaseKeySeedsTheCaseConversionOnce) {
  struct TCase {
    const char* Content;
    int Expected;
  };
  const TCase cases[] = {
      {"[Advanced]\nConfirmLowerCase=1\nListHidden=1\n", 1},
      {"[Advanced]\nConfirmLowerCase=0\nListHidden=1\n", 0},
      {"[Advanced]\nConfirmLowerCase=1\nListHidden=1\n[Conversions]\nConversionCase=2\n", 2},
      {"[Advanced]\nListHidden=1\n", 0},
  };
  for (const TCase& c : cases) {
    WriteFile(Path, c.Content);
    TPreferences p = Load();
    EXPECT_EQ(p.ConversionCase, c.Expected) << c.Content;
    EXPECT_TRUE(p.ListHidden);
    TIniFile ini(Path);
    EXPECT_FALSE(ini.ValueExists("Advanced", "ConfirmLowerCase")) << c.Content;
    EXPECT_TRUE(ini.ValueExists("Advanced", "ListHidden"));
  }
}

TEST_F(OptionsStoreTest, RecentURLsKeepTheFirstTwentyWithoutDuplicates) {
  TPreferences p;
  for (int i = 0; i < 25; ++i) p.URLs.push_back("ftp://host" + std::to_string(i) + "/");
  ASSERT_TRUE(SavePreferences(p, Path));
  TPreferences loaded = Load();
  ASSERT_EQ(loaded.URLs.size(), MaxRecentURLs);
  EXPECT_EQ(loaded.URLs.front(), "ftp://host0/");
  EXPECT_EQ(loaded.URLs.back(), "ftp://host19/");
  EXPECT_FALSE(TIniFile(Path).ValueExists("URLs", "URL20"));

  WriteFile(Path, "[URLs]\nURL0=ftp://a/\nURL1=ftp://b/\nURL2=ftp://a/\nURL3=ftp://A/\n");
  EXPECT_EQ(Load().URLs, (std::vector<std::string>{"ftp://a/", "ftp://b/", "ftp://A/"}));
}

TEST_F(OptionsStoreTest, ListSectionsAreWrittenAnew) {
  TPreferences p;
  p.FileTypes.assign(30, ".x");
  for (int i = 0; i < 30; ++i) p.FileTypes[i] += std::to_string(i);
  ASSERT_TRUE(SavePreferences(p, Path));
  p.FileTypes = {".a", ".b"};
  p.URLs = {};
  ASSERT_TRUE(SavePreferences(p, Path));
  EXPECT_EQ(Load().FileTypes, (std::vector<std::string>{".a", ".b"}));
  EXPECT_FALSE(TIniFile(Path).SectionExists("URLs"));
  // An empty list brings the defaults back on the next start.
  p.FileTypes.clear();
  ASSERT_TRUE(SavePreferences(p, Path));
  TPreferences loaded = Load();
  ASSERT_EQ(loaded.FileTypes.size(), 14u);
  EXPECT_EQ(loaded.FileTypes.front(), ".1st");
  EXPECT_EQ(loaded.FileTypes.back(), ".text");
}

TEST_F(OptionsStoreTest, KeysAreWrittenWhereOtherProgramsLookForThem) {
  TPreferences p = Changed();
  ASSERT_TRUE(SavePreferences(p, Path));
  TIniFile ini(Path);
  const std::tuple<const char*, const char*, const char*> keys[] = {
      {"General", "ShowToolTips", "0"},       {"Advanced", "TryToResume", "2"},
      {"Connection", "Timeout", "45"},        {"Connection", "InfiniteRetry", "1"},
      {"Conversions", "ConversionChar", "-"}, {"Firewall", "Port", "2121"},
      {"Firewall", "Type", "3"},              {"Sounds", "EndOfFile", "/s/3.wav"},
      {"FileTypes", "Ext0", ".TXT"},          {"URLs", "URL1", "ftp://b/dir/"},
      {"Connection", "MachineListings", "0"}, {"Connection", "CodePage", "KOI8-R"},
  };
  for (auto [section, key, value] : keys) EXPECT_EQ(ini.ReadString(section, key, "?"), value) << section << "/" << key;
}

TEST_F(OptionsStoreTest, ApplySetsTheEngineAndEveryComponent) {
  struct TCase {
    int Timeout, RetryDelay, Retries;
    bool Infinite, Passive;
    std::uint32_t TimeOutMs;
    int Delay, Attempts;
  };
  const TCase cases[] = {
      {120, 5, 3, false, false, 120000, 5, 3},
      {30, 0, 7, true, true, 30000, 0, 0},
      {1000, 1000, 1000, false, true, 1000000, 1000, 1000},
      // Values only a hand-edited file holds: never "no time at all", never an accidental
      // "retry forever", never a wrapped-around time-out.
      {0, -4, 0, false, false, 1000, 0, 1},
      {5000000, 2, -1, false, false, 4294967000u, 2, 1},
  };
  for (const TCase& c : cases) {
    TPreferences p;
    p.Timeout = c.Timeout;
    p.RetryDelay = c.RetryDelay;
    p.Retries = c.Retries;
    p.InfiniteRetry = c.Infinite;
    p.UsePASV = c.Passive;
    p.Ping = c.Passive;
    p.QuickDisconnect = !c.Passive;
    p.MachineListings = c.Passive;
    p.CodePage = c.Passive ? "ISO-8859-15" : "";
    std::vector<bool> calls;
    ApplyPreferences(p, [&](bool passive) { calls.push_back(passive); });
    TEngineSettings& e = EngineSettings();
    EXPECT_EQ(e.TimeOut.load(), c.TimeOutMs) << c.Timeout;
    EXPECT_EQ(e.RetryDelay.load(), c.Delay);
    EXPECT_EQ(e.MaxAttempts.load(), c.Attempts);
    EXPECT_EQ(e.Ping.load(), c.Passive);
    EXPECT_EQ(e.QuickDisconnect.load(), !c.Passive);
    EXPECT_EQ(e.MachineListings.load(), c.Passive);
    EXPECT_EQ(FallbackCodePage(), c.Passive ? "ISO-8859-15" : "WINDOWS-1252");  // an empty choice: the default
    EXPECT_EQ(calls, std::vector<bool>{c.Passive});
  }
}

TEST_F(OptionsStoreTest, LoadAndSaveApply) {
  WriteFile(Path, "[Connection]\nTimeout=33\nUsePASV=1\n[General]\nShowToolTips=0\n");
  std::vector<bool> calls;
  TPreferences p;
  LoadPreferences(p, Path, [&](bool passive) { calls.push_back(passive); });
  EXPECT_EQ(EngineSettings().TimeOut.load(), 33000u);
  EXPECT_FALSE(ShowHints());
  p.Timeout = 44;
  p.UsePASV = false;
  p.ShowToolTips = true;
  ASSERT_TRUE(SavePreferences(p, Path, [&](bool passive) { calls.push_back(passive); }));
  EXPECT_EQ(EngineSettings().TimeOut.load(), 44000u);
  EXPECT_TRUE(ShowHints());
  EXPECT_EQ(calls, (std::vector<bool>{true, false}));
}

TEST_F(OptionsStoreTest, DefaultFilesLiveInTheProgramsFolder) {
  EXPECT_EQ(DefaultSettingsFile(), Home.Path + "/ferrowin.ini");
  EXPECT_EQ(DefaultSitesFile(), Home.Path + "/Sites.ini");
  EXPECT_EQ(DefaultLogFile(), Home.Path + "/ferrowin.log");
}

}  // namespace
}  // namespace ferrowin
