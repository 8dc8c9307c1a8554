#include "HintFilter.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>

#include "Options.h"

namespace ferrowin {

namespace {

class THintFilter : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::ToolTip && !ShowHints()) return true;
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

void InstallHintFilter() {
  auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
  if (!app) return;
  // The filter belongs to the application; a new application gets a new filter.
  static QPointer<THintFilter> filter;
  if (filter && filter->parent() == app) return;
  filter = new THintFilter(app);
  app->installEventFilter(filter);
}

}  // namespace ferrowin
