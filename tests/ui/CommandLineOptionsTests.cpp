// Reading the command line: which parameter is a switch, a value or a URL.

#include <gtest/gtest.h>

#include "CommandLineOptions.h"
#include "CommandLineRun.h"

namespace ferrowin {
namespace {

TEST(ReadSwitches, ValuesSwitchesAndURLs) {
  struct TCase {
    QStringList Args;
    std::string Host, User, Password, HostFolder, LocalFolder, URL;
    int Port;
    bool Help, Version;
  };
  const TCase cases[] = {
      {{"/c", "ftp.example:2121", "-U", "alice"}, "ftp.example", "alice", "", "", "", "", 2121, false, false},
      {{"/C", "other", "/cbox:abc"}, "box", "anonymous", "", "", "", "", 21, false, false},
      {{"/c", "plain"}, "plain", "anonymous", "", "", "", "", 21, false, false},
      // A value taken by the switch before it is never a switch, a URL or a request itself.
      {{"/p", "--help", "/h", "/pub", "/l", "/home/me"}, "", "anonymous", "--help", "/pub", "/home/me", "", 21, false, false},
      {{"/u", "ftp://not-a-link", "--version"}, "", "ftp://not-a-link", "", "", "", "", 21, false, true},
      {{" FTP://me@host/pub/ ", "ftp://second/", "--help"}, "", "anonymous", "", "", "", "FTP://me@host/pub/", 21, true, false},
      {{"/phidden", "stray", "/z", "x"}, "", "anonymous", "hidden", "", "", "", 21, false, false},
  };
  for (const auto& c : cases) {
    QStringList args = c.Args;
    args.prepend(QStringLiteral("ferrowin"));
    const TStartOptions o = ReadSwitches(args);
    const std::string label = args.join(' ').toStdString();
    EXPECT_EQ(o.Host, c.Host) << label;
    EXPECT_EQ(o.Port, c.Port) << label;
    EXPECT_EQ(o.User, c.User) << label;
    EXPECT_EQ(o.Password, c.Password) << label;
    EXPECT_EQ(o.HostFolder, c.HostFolder) << label;
    EXPECT_EQ(o.LocalFolder, c.LocalFolder) << label;
    EXPECT_EQ(o.URL, c.URL) << label;
    EXPECT_EQ(o.PrintHelp, c.Help) << label;
    EXPECT_EQ(o.PrintVersion, c.Version) << label;
  }
}

}  // namespace
}  // namespace ferrowin

namespace ferrowin {
namespace {

TEST(ReadSwitches, FirstPassSwitches) {
  struct TCase {
    QStringList Args;
    bool Usage, Debug;
    std::string Settings, Sites;
  };
  const TCase cases[] = {
      {{"/u", "me", "-?"}, true, false, "", ""},
      {{"/i", "/etc/a.ini", "-n/b.ini", "/D"}, false, true, "/etc/a.ini", "/b.ini"},
      {{"/p", "/?"}, false, false, "", ""},  // a password, not the usage switch
  };
  for (const auto& c : cases) {
    QStringList args = c.Args;
    args.prepend(QStringLiteral("ferrowin"));
    const TStartOptions o = ReadSwitches(args);
    EXPECT_EQ(o.ShowUsage, c.Usage) << args.join(' ').toStdString();
    EXPECT_EQ(o.DebugTrace, c.Debug) << args.join(' ').toStdString();
    EXPECT_EQ(o.SettingsFile, c.Settings);
    EXPECT_EQ(o.SitesFile, c.Sites);
  }
  EXPECT_TRUE(CommandLineUsage("\n\r").startsWith("Ferrowix [/c Host[:port]]\n\r        [/u User name]\n\r"));
  EXPECT_TRUE(CommandLineUsage("\n\r").endsWith("\n\r\n\r\"/\" can be replaced with \"-\""));
}

TEST(CommandLineRun, ListsBecomeQueueEntries) {
  struct TCase {
    std::string HostFolder, List;
    std::vector<std::string> Folders;
  };
  const TCase cases[] = {
      {"pub", "a b.txt;sub/c.bin", {"pub/a b.txt", "pub/sub/c.bin"}},
      {"/pub/", "/etc/x;;y\\z", {"/etc/x", "/pub/y/z"}},
      {"", "only", {"only"}},
  };
  for (const auto& c : cases) {
    TStartOptions o;
    o.Host = "h";
    o.Port = 2121;
    o.HostFolder = c.HostFolder;
    o.ReceiveList = c.List;
    const auto entries = ReceiveEntries(o, "secret", "/tmp/in");
    std::vector<std::string> paths;
    for (const auto& e : entries) {
      paths.push_back(e.SourceFolder + e.SourceName);
      EXPECT_EQ(e.DestFolder, "/tmp/in/");
      EXPECT_EQ(e.Password, "secret");
      EXPECT_EQ(e.Port, 2121u);
      EXPECT_FALSE(e.IsUpload);
    }
    EXPECT_EQ(paths, c.Folders) << c.List;
  }
  EXPECT_TRUE(HasWildcards("a;*.txt"));
  EXPECT_TRUE(HasWildcards("fil?"));
  EXPECT_FALSE(HasWildcards("a;b c"));
}

}  // namespace
}  // namespace ferrowin
