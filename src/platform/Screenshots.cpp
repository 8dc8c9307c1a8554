#include "Screenshots.h"

#include <QDir>
#include <QPixmap>
#include <QWidget>

namespace ferrowin {

bool SaveScreenshot(QWidget* widget, const std::string& name) {
  QString folder = qEnvironmentVariable("FERROWIN_SHOTS");
  if (folder.isEmpty() || !widget) return false;
  QDir().mkpath(folder);
  widget->ensurePolished();
  return widget->grab().save(QDir(folder).filePath(QString::fromStdString(name) + ".png"), "PNG");
}

}  // namespace ferrowin
