// An exception escaping an event handler reaches the program's handler; the program goes on.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <cstdlib>
#include <stdexcept>

#include "Application.h"

namespace {

class TThrowing : public QObject {
 public:
  bool event(QEvent* e) override {
    if (e->type() == QEvent::User) throw std::runtime_error("handler failed");
    return QObject::event(e);
  }
};

TEST(Application, AnEscapingExceptionBecomesAMessage) {
  QStringList messages;
  ferrowin::TApplication::SetExceptionHandler([&](const QString& m) { messages << m; });
  TThrowing target;
  QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
  QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
  QCoreApplication::processEvents();
  EXPECT_EQ(messages, (QStringList{"handler failed", "handler failed"}));
  ferrowin::TApplication::SetExceptionHandler(nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ::testing::InitGoogleTest(&argc, argv);
  ferrowin::TApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
