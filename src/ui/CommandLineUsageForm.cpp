#include "CommandLineUsageForm.h"

#include <QFontDatabase>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "CommandLineOptions.h"

namespace ferrowin {

TfrmCommandLineOptions::TfrmCommandLineOptions(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Ferrowin Command Line Usage"));
  auto* layout = new QVBoxLayout(this);
  lblUsage = new QLabel(this);
  lblUsage->setWordWrap(true);
  lblUsage->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  lblUsage->setTextFormat(Qt::PlainText);
  // The text's own line ends are line feed then carriage return; a label here would draw the
  // carriage return as a blank at the start of each line, so it shows line feeds only.
  UsageText = CommandLineUsage(QStringLiteral("\n\r"));
  lblUsage->setText(QString(UsageText).remove(QLatin1Char('\r')));
  layout->addWidget(lblUsage);
  btnOK = new QPushButton(QStringLiteral("OK"), this);
  btnOK->setDefault(true);
  layout->addWidget(btnOK, 0, Qt::AlignHCenter);
  // OK is both the default and the cancel button: Enter and Escape both close.
  connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
  adjustSize();
  if (QScreen* screen = this->screen()) move(screen->availableGeometry().center() - rect().center());
}

}  // namespace ferrowin
