#include "CommandLineOptions.h"

#include "FTPCompThread.h"

namespace ferrowin {
namespace {

constexpr const char* UsageLines[] = {
    "Ferrowix [/c Host[:port]]",
    "        [/u User name]",
    "        [/p Password]",
    "        [/a Account]",
    "        [/l [drive:][folder]]",
    "        [/h [folder]]",
    "        [/r [folder][filename][;[folder][filename]...]]",
    "        [/s [drive:][folder][filename][;[drive:][folder][filename]...]]",
    "        [/x]",
    "        [/i [drive:][folder][filename]",
    "        [/n [drive:][folder][filename]",
    "",
    "/c - Host name or IP address",
    "/u - User name",
    "/p - Password",
    "/a - Account",
    "/l - Local folder",
    "/h - Host folder",
    "/r - Files to receive",
    "/s - Files to send",
    "/x - Exit when done transferring",
    "/i - Path to settings (.ini) file",
    "/n - Path to sites listing (.ini) file",
    "",
    "\"/\" can be replaced with \"-\"",
};

// The switches that take a value; "c" only in lower case.
bool TakesValue(QChar letter) {
  return letter == QLatin1Char('c') || QStringLiteral("uphialnrs").contains(letter.toLower());
}

void SetHost(TStartOptions& options, const std::string& value) {
  const auto colon = value.find(':');
  options.Host = value.substr(0, colon);
  if (colon != std::string::npos) options.Port = PortNumber(value.substr(colon + 1), 21);
}

void TakeSwitch(TStartOptions& options, QChar letter, const std::string& value) {
  if (letter == QLatin1Char('C')) return;  // the host switch is lower case only
  switch (letter.toLower().unicode()) {
    case 'c': SetHost(options, value); break;
    case 'u': options.User = value; break;
    case 'p': options.Password = value; break;
    case 'a': options.Account = value; break;
    case 'l': options.LocalFolder = value; break;
    case 'h': options.HostFolder = value; break;
    case 'r': options.ReceiveList = value; break;
    case 's': options.SendList = value; break;
    case 'i': options.SettingsFile = value; break;
    case 'n': options.SitesFile = value; break;
    case 'd': options.DebugTrace = true; break;
    case 'x': options.ExitWhenDone = true; break;
    case '?': options.ShowUsage = true; break;
    default: break;
  }
}

}  // namespace

TStartOptions ReadSwitches(const QStringList& args) {
  TStartOptions options;
  for (int i = 1; i < args.size(); ++i) {
    const QString arg = args[i].trimmed();
    if (arg == QLatin1String("--help")) options.PrintHelp = true;
    else if (arg == QLatin1String("--version")) options.PrintVersion = true;
    else if (arg.startsWith(QLatin1String("ftp://"), Qt::CaseInsensitive)) {
      if (options.URL.empty()) options.URL = arg.toStdString();
    } else if (arg.size() >= 2 && (arg[0] == QLatin1Char('/') || arg[0] == QLatin1Char('-'))) {
      const QChar letter = arg[1];
      std::string value;
      if (arg.size() > 2) value = arg.mid(2).trimmed().toStdString();
      else if (TakesValue(letter) && i + 1 < args.size()) value = args[++i].trimmed().toStdString();
      TakeSwitch(options, letter, value);
    }
  }
  return options;
}

QString CommandLineUsage(const QString& lineEnd) {
  QStringList lines;
  for (const char* line : UsageLines) lines << QString::fromLatin1(line);
  return lines.join(lineEnd);
}

}  // namespace ferrowin
