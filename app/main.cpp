// Starts Ferrowin: --help and --version without a display, then one copy per user, the
// window, and the connection the command line names.

#include <QFileInfo>
#include <QIcon>
#include <cstdio>

#include "Application.h"
#include "AutomationFactory.h"
#include "AutomationHooks.h"
#include "BatchRun.h"
#include "CertificatePrompt.h"
#include "CommandLineOptions.h"
#include "CommandLineUsageForm.h"
#include "FTPCompThread.h"
#include "FTPUtils.h"
#include "Main.h"
#include "QtMessageWindow.h"
#include "SingleInstance.h"

namespace {

QStringList Arguments(int argc, char* argv[]) {
  QStringList args;
  for (int i = 0; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  return args;
}

// Answers what needs no window; true when the program should end here.
bool PrintRequested(const ferrowin::TStartOptions& options) {
  if (options.PrintVersion) {
    std::printf("ferrowin %s\n", FERROWIN_VERSION);
  } else if (options.PrintHelp) {
    std::printf("%s\n\nferrowin ftp://[user[:password]@]host[:port]/[folder/][file]\n"
                "    opens a connection to the URL (in the running copy when there is one)\n"
                "ferrowin --help | --version\n",
                ferrowin::CommandLineUsage(QStringLiteral("\n")).toLocal8Bit().constData());
  } else {
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char* argv[]) {
  using TKind = ferrowin::TAutomationStart::TKind;
  const ferrowin::TAutomationStart automation = ferrowin::ReadAutomationStart(Arguments(argc, argv));
  if (automation.Kind == TKind::Factory) return ferrowin::RunAutomationFactory(argc, argv);
  ferrowin::TStartOptions options = ferrowin::ReadSwitches(Arguments(argc, argv));
  if (PrintRequested(options)) return 0;
  ferrowin::TApplication app(argc, argv);
  QIcon icon(QStringLiteral(":/icons/ferrowin-48.png"));
  icon.addFile(QStringLiteral(":/icons/ferrowin-256.png"));
  QApplication::setWindowIcon(icon);
  QApplication::setDesktopFileName(QStringLiteral("ferrowin"));
  const QString url = QString::fromStdString(options.URL);
  // A client's copy is one of its own: it neither defers to nor stands for the user's copy.
  const bool forClient = automation.Kind == TKind::Copy;
  if (!forClient && !ferrowin::CheckSingleInstance(QFileInfo(QString::fromLocal8Bit(argv[0])).fileName(), url))
    return 1;
  ferrowin::SetAutomationServer(forClient);
  if (options.ShowUsage) {
    // Only the usage window, and nothing written. Without a screen it goes to stdout.
    if (!ferrowin::TBatchRun::HasScreen()) {
      std::printf("%s\n", ferrowin::CommandLineUsage(QStringLiteral("\n")).toLocal8Bit().constData());
      return 0;
    }
    ferrowin::TfrmCommandLineOptions usage;
    usage.exec();
    return 0;
  }
  ferrowin::InstallQtMessageWindows();
  ferrowin::InstallCertificatePrompt();
  if (options.DebugTrace) ferrowin::SetDebugTrace(true);
  int code = 0;
  {
    ferrowin::TfrmMain window(std::move(options));
    ferrowin::TApplication::SetExceptionHandler([&window](const QString& message) { window.AppException(message); });
    ferrowin::SetComeForwardHandler([&window](const QString& url) {
      window.ComeForward();
      if (!url.isEmpty()) window.ConnectURL(url.toStdString());
    });
    // A client's copy shows its window when the client calls Show.
    std::unique_ptr<ferrowin::TAutomationCopy> copy;
    if (forClient) copy = std::make_unique<ferrowin::TAutomationCopy>(window, automation, QDBusConnection::sessionBus());
    else window.show();
    code = !copy || copy->Start() ? QApplication::exec() : 1;
    copy.reset();
    if (code == 0) code = window.ExitStatus();
    ferrowin::SetComeForwardHandler(nullptr);
    ferrowin::TApplication::SetExceptionHandler(nullptr);
  }
  // Whatever a worker still runs is aborted, so the process ends at once and no worker
  // outlives the objects it uses.
  ferrowin::TFTPThread::StopWorkers(std::chrono::seconds(3));
  return code;
}
