// Starts Ferrowin: one copy per user, the window, and the connection the command line names.

#include <QFileInfo>

#include "Application.h"
#include "FTPCompThread.h"
#include "FTPUtils.h"
#include "Main.h"
#include "QtMessageWindow.h"
#include "SingleInstance.h"

namespace {

// "/c host:port", "-u user", "/phidden" ...: a switch's value is the rest of its parameter,
// or the whole next parameter (which is then never read as a switch itself).
ferrowin::TStartOptions ReadSwitches(const QStringList& args) {
  ferrowin::TStartOptions options;
  for (int i = 1; i < args.size(); ++i) {
    const QString arg = args[i].trimmed();
    if (arg.size() < 2 || (arg[0] != '/' && arg[0] != '-')) continue;
    const QChar letter = arg[1];
    auto value = [&]() -> std::string {
      if (arg.size() > 2) return arg.mid(2).trimmed().toStdString();
      return i + 1 < args.size() ? args[++i].trimmed().toStdString() : std::string();
    };
    switch (letter.toLower().unicode()) {
      case 'c': {
        if (letter != 'c') break;  // only lower case
        const std::string host = value();
        const auto colon = host.find(':');
        options.Host = host.substr(0, colon);
        if (colon != std::string::npos) options.Port = ferrowin::PortNumber(host.substr(colon + 1), 21);
        break;
      }
      case 'u': options.User = value(); break;
      case 'p': options.Password = value(); break;
      case 'h': options.HostFolder = value(); break;
      case 'i': options.SettingsFile = value(); break;
      case 'n': options.SitesFile = value(); break;
      case 'd': ferrowin::SetDebugTrace(true); break;
      default: break;
    }
  }
  return options;
}

}  // namespace

int main(int argc, char* argv[]) {
  ferrowin::TApplication app(argc, argv);
  if (!ferrowin::CheckSingleInstance(QFileInfo(QString::fromLocal8Bit(argv[0])).fileName())) return 1;
  ferrowin::InstallQtMessageWindows();
  int code = 0;
  {
    ferrowin::TfrmMain window(ReadSwitches(QApplication::arguments()));
    ferrowin::TApplication::SetExceptionHandler([&window](const QString& message) { window.AppException(message); });
    ferrowin::SetComeForwardHandler([&window] { window.ComeForward(); });
    window.show();
    code = QApplication::exec();
    ferrowin::SetComeForwardHandler(nullptr);
    ferrowin::TApplication::SetExceptionHandler(nullptr);
  }
  // Workers finish their last command (a logout) before the process ends.
  ferrowin::TFTPThread::WaitForWorkers(std::chrono::seconds(3));
  return code;
}
