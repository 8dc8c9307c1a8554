#pragma once
// The command line: switches "/x value" or "-x value" (also "/xvalue"), a plain ftp:// URL as
// the desktop or a browser hands over a link, and --help / --version, read before anything
// needs a display.

#include <QStringList>
#include <string>

namespace ferrowin {

struct TStartOptions {
  std::string SettingsFile;  // /i; empty: DefaultSettingsFile()
  std::string SitesFile;     // /n; empty: DefaultSitesFile()
  bool DebugTrace = false;   // /d
  // A server to connect to at first activation (the second command-line pass).
  std::string Host;  // /c host[:port]
  int Port = 21;
  std::string User = "anonymous";  // /u
  std::string Password;            // /p
  std::string Account;             // /a
  std::string LocalFolder;         // /l
  std::string HostFolder;          // /h
  std::string ReceiveList;         // /r names separated by ";"
  std::string SendList;            // /s
  bool ExitWhenDone = false;       // /x
  bool ShowUsage = false;          // /?
  std::string URL;  // the first plain ftp:// argument
  bool PrintHelp = false;
  bool PrintVersion = false;
};

// args[0] is the program. A two-character switch takes the whole next argument as its value,
// and that argument is then never read as a switch or a URL itself.
[[nodiscard]] TStartOptions ReadSwitches(const QStringList& args);

// The usage text, its lines joined by lineEnd.
[[nodiscard]] QString CommandLineUsage(const QString& lineEnd);

}  // namespace ferrowin
