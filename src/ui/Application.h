#pragma once
// The application object: an exception that escapes an event handler is handed to the
// program's handler (a red line in the log) instead of ending the process.

#include <QApplication>
#include <functional>

namespace ferrowin {

class TApplication : public QApplication {
 public:
  TApplication(int& argc, char** argv) : QApplication(argc, argv) {}
  bool notify(QObject* receiver, QEvent* event) override;

  // Empty: the message goes to stderr.
  static void SetExceptionHandler(std::function<void(const QString& message)> handler);
};

}  // namespace ferrowin
