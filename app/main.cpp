// Starts Ferrowin.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Ferrowin");
  QMainWindow window;
  window.setWindowTitle("Disconnected - Ferrowin");
  window.resize(900, 640);
  window.show();
  return QApplication::exec();
}
