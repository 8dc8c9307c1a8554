// Starts like the program: the single-instance check first. The first copy prints "FIRST"
// with its arguments and then a line for each later start that asked it to come forward,
// with the ftp:// URL that start was given.
#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

#include "SingleInstance.h"

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  QString url;
  for (const QString& arg : QCoreApplication::arguments().mid(1))
    if (arg.startsWith(QLatin1String("ftp://"))) url = arg;
  if (!ferrowin::CheckSingleInstance(QFileInfo(QString::fromLocal8Bit(argv[0])).fileName(), url)) return 1;
  ferrowin::SetComeForwardHandler([](const QString& request) {
    std::printf("FORWARD%s%s\n", request.isEmpty() ? "" : " ", request.toLocal8Bit().constData());
    std::fflush(stdout);
  });
  QByteArray args = QCoreApplication::arguments().mid(1).join(' ').toLocal8Bit();
  std::printf("FIRST %s\n", args.constData());
  std::fflush(stdout);
  return QCoreApplication::exec();
}
