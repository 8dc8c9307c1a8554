// Reading the command line: which parameter is a switch, a value or a URL.

#include <gtest/gtest.h>

#include "CommandLineOptions.h"

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
