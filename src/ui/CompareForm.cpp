#include "CompareForm.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "Help.h"

namespace ferrowin {

TfrmCompareOptions::TfrmCompareOptions(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Comparaison Options"));
  SetHelpContext(this, CompareHelpContext);
  auto* layout = new QVBoxLayout(this);
  auto* group = new QGroupBox(QStringLiteral("Options"), this);
  auto* boxes = new QVBoxLayout(group);
  cbIgnoreSize = new QCheckBox(QStringLiteral("Ignore size difference"), group);
  cbIgnoreDate = new QCheckBox(QStringLiteral("Ignore date difference"), group);
  cbIgnoreDate->setChecked(true);
  boxes->addWidget(cbIgnoreSize);
  boxes->addWidget(cbIgnoreDate);
  layout->addWidget(group);
  auto* buttons = new QDialogButtonBox(this);
  btnOK = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  btnCancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
  btnHelp = buttons->addButton(QStringLiteral("&Help"), QDialogButtonBox::HelpRole);
  btnOK->setDefault(true);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(buttons, &QDialogButtonBox::helpRequested, this, [] { ShowHelp(CompareHelpContext); });
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace ferrowin
