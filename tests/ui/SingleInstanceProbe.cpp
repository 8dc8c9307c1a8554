// Starts like the program: the single-instance check first. The first copy prints "FIRST"
// with its arguments and then a line for each later start that asked it to come forward.
#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

#include "SingleInstance.h"

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  if (!ferrowin::CheckSingleInstance(QFileInfo(QString::fromLocal8Bit(argv[0])).fileName())) return 1;
  ferrowin::SetComeForwardHandler([] {
    std::puts("FORWARD");
    std::fflush(stdout);
  });
  QByteArray args = QCoreApplication::arguments().mid(1).join(' ').toLocal8Bit();
  std::printf("FIRST %s\n", args.constData());
  std::fflush(stdout);
  return QCoreApplication::exec();
}
