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
  // The text keeps its own line ends (line feed, then carriage return).
  lblUsage->setText(CommandLineUsage(QStringLiteral("\n\r")));
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
