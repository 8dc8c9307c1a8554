#include "MaskForm.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "MaskMemory.h"

namespace ferrowin {

TfrmMask::TfrmMask(bool host, const QString& mask, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Mask"));
  auto* layout = new QVBoxLayout(this);
  lblPrompt = new QLabel(host ? QStringLiteral("Enter a mask for the host directory:")
                              : QStringLiteral("Enter a mask for the local directory:"),
                         this);
  cmboMask = new QComboBox(this);
  cmboMask->setEditable(true);
  cmboMask->setInsertPolicy(QComboBox::NoInsert);
  for (const TReadyMask& ready : ReadyMasks)
    cmboMask->addItem(QString::fromUtf8(ready.Entry.data(), static_cast<qsizetype>(ready.Entry.size())));
  cmboMask->setCurrentIndex(-1);
  cmboMask->setEditText(mask);
  cmboMask->setMinimumContentsLength(40);
  lblPrompt->setBuddy(cmboMask);
  layout->addWidget(lblPrompt);
  layout->addWidget(cmboMask);
  auto* buttons = new QDialogButtonBox(this);
  btnOK = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  btnCancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
  btnOK->setDefault(true);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(cmboMask, &QComboBox::activated, this, &TfrmMask::MaskPicked);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString TfrmMask::Mask() const { return cmboMask->currentText(); }

void TfrmMask::MaskPicked(int index) {
  // The box puts the entry's whole text in after this signal; the mask replaces it once the
  // box is done with the pick.
  const QString mask = QString::fromStdString(MaskOfEntry(cmboMask->itemText(index).toStdString()));
  QTimer::singleShot(0, this, [this, mask] { cmboMask->setEditText(mask); });
}

}  // namespace ferrowin
