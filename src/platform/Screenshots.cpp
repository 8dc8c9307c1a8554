#include "Screenshots.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QPixmap>
#include <QWidget>

namespace ferrowin {

namespace {
// The file for a picture, or empty when pictures are not asked for.
QString ShotPath(const std::string& name) {
  QString folder = qEnvironmentVariable("FERROWIN_SHOTS");
  if (folder.isEmpty()) return {};
  QDir().mkpath(folder);
  return QDir(folder).filePath(QString::fromStdString(name) + ".png");
}
}  // namespace

bool SaveScreenshot(QWidget* widget, const std::string& name) {
  const QString path = ShotPath(name);
  if (path.isEmpty() || !widget) return false;
  widget->ensurePolished();
  return widget->grab().save(path, "PNG");
}

bool SaveScreenScreenshot(const std::string& name) {
  const QString path = ShotPath(name);
  QScreen* screen = QGuiApplication::primaryScreen();
  return !path.isEmpty() && screen && screen->grabWindow(0).save(path, "PNG");
}

}  // namespace ferrowin
