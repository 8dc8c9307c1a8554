#include "Application.h"

#include <cstdio>
#include <exception>

namespace ferrowin {
namespace {

std::function<void(const QString&)>& Handler() {
  static std::function<void(const QString&)> handler;
  return handler;
}

void Report(const QString& message) {
  if (Handler()) Handler()(message);
  else std::fprintf(stderr, "Ferrowin: %s\n", message.toLocal8Bit().constData());
}

}  // namespace

void TApplication::SetExceptionHandler(std::function<void(const QString&)> handler) { Handler() = std::move(handler); }

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    Report(QString::fromLocal8Bit(e.what()));
  } catch (...) {
    Report(QStringLiteral("Unknown error"));
  }
  return false;
}

}  // namespace ferrowin
