#include "DataFolder.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "FTPUtils.h"

namespace ferrowin {

QString DataFolder() {
  const QString program = QCoreApplication::applicationDirPath() + QLatin1Char('/');
  if (IsInstalledLayout(program.toStdString())) return program + QStringLiteral("../share/ferrowin/");
  if (QFileInfo::exists(program + QStringLiteral("Activity.ftp"))) return program;
  return QStringLiteral(FERROWIN_SOURCE_DATA "/");
}

}  // namespace ferrowin
