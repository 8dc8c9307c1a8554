#include "Programs.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace ferrowin {
namespace {

std::function<bool(const TProgramStart&)>& Starter() {
  static std::function<bool(const TProgramStart&)> starter;
  return starter;
}

}  // namespace

void SetProgramStarter(std::function<bool(const TProgramStart&)> starter) { Starter() = std::move(starter); }

bool StartProgram(const TProgramStart& start) {
  if (Starter()) return Starter()(start);
  if (start.Program.isEmpty())
    return !start.Arguments.isEmpty() && QDesktopServices::openUrl(QUrl::fromLocalFile(start.Arguments.front()));
  QString program = start.Program;
  QStringList arguments;
  // A preference may hold options after the program ("kate -n"); a path with blanks stays whole.
  if (!QFileInfo(program).isFile()) {
    arguments = QProcess::splitCommand(program);
    program = arguments.isEmpty() ? QString() : arguments.takeFirst();
  }
  if (program.isEmpty()) return false;
  arguments += start.Arguments;
  return QProcess::startDetached(program, arguments, start.Folder);
}

bool OpenWithDesktop(const QString& path) { return StartProgram({QString(), {path}, QString()}); }

QString TextViewerProgram(const QString& preference, const QString& stockDefault) {
  if (!preference.isEmpty() && preference != stockDefault) return preference;
  for (const char* editor : {"gnome-text-editor", "gedit", "kate", "kwrite", "mousepad", "pluma", "xed", "featherpad",
                             "leafpad"}) {
    const QString found = QStandardPaths::findExecutable(QString::fromLatin1(editor));
    if (!found.isEmpty()) return found;
  }
  return stockDefault;
}

}  // namespace ferrowin
