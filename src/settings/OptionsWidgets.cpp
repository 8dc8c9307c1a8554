#include "OptionsWidgets.h"

#include <QGridLayout>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>

#include "Prompts.h"

namespace ferrowin {

TRadioGroup::TRadioGroup(QWidget* parent, int columns) : QGroupBox(parent), FButtons(this), FColumns(columns) {
  new QGridLayout(this);
}

void TRadioGroup::SetItems(const QStringList& captions) {
  auto* grid = static_cast<QGridLayout*>(layout());
  int rows = (static_cast<int>(captions.size()) + FColumns - 1) / FColumns;
  for (int i = 0; i < captions.size(); ++i) {
    QRadioButton* button = Button(i);
    if (!button) {
      button = new QRadioButton(this);
      FButtons.addButton(button, i);
      grid->addWidget(button, i % rows, i / rows);
    }
    button->setText(captions[i]);
  }
  // The buttons keep together at the top when the group is taller than they need.
  grid->setRowStretch(rows, 1);
}

void TRadioGroup::SetItemIndex(int index) {
  if (QRadioButton* button = Button(index)) {
    button->setChecked(true);
    return;
  }
  // An index outside the items leaves none checked.
  FButtons.setExclusive(false);
  for (QAbstractButton* b : FButtons.buttons()) b->setChecked(false);
  FButtons.setExclusive(true);
}

QRadioButton* TRadioGroup::Button(int index) const { return static_cast<QRadioButton*>(FButtons.button(index)); }

QToolButton* NewBrowseButton(QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setText("...");
  return button;
}

QString BrowseForPath(QWidget* parent, const QString& caption, const QString& start, QFileDialog::FileMode mode,
                      const QString& filters) {
  QFileDialog dialog(parent, caption, start, filters);
  dialog.setFileMode(mode);
  // AnyFile is the save form: a new name may be typed.
  dialog.setAcceptMode(mode == QFileDialog::AnyFile ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  if (mode == QFileDialog::Directory) dialog.setOption(QFileDialog::ShowDirsOnly);
  if (RunModal(dialog) != QDialog::Accepted) return {};
  const QStringList chosen = dialog.selectedFiles();
  return chosen.isEmpty() ? QString() : chosen.front();
}

QSpinBox* NewSpinEdit(QWidget* parent, int min, int max) {
  auto* spin = new QSpinBox(parent);
  spin->setRange(min, max);
  return spin;
}

void SetSpinValue(QSpinBox* spin, int value) {
  if (value < spin->minimum()) spin->setMinimum(value);
  if (value > spin->maximum()) spin->setMaximum(value);
  spin->setValue(value);
}

int SpinValue(const QSpinBox* spin, int fallback) {
  bool ok = false;
  int value = spin->cleanText().trimmed().toInt(&ok);
  return ok ? value : fallback;
}

TDialogButtons AddDialogButtons(QDialog* dialog, QBoxLayout* layout, std::function<void()> onOK,
                                std::function<void()> onHelp) {
  auto* row = new QHBoxLayout;
  row->addStretch();
  TDialogButtons b{new QPushButton("OK", dialog), new QPushButton("Cancel", dialog), new QPushButton("&Help", dialog)};
  b.OK->setDefault(true);
  for (QPushButton* button : {b.OK, b.Cancel, b.Help}) row->addWidget(button);
  layout->addLayout(row);
  QObject::connect(b.OK, &QPushButton::clicked, dialog, std::move(onOK));
  QObject::connect(b.Cancel, &QPushButton::clicked, dialog, &QDialog::reject);
  QObject::connect(b.Help, &QPushButton::clicked, dialog, std::move(onHelp));
  return b;
}

}  // namespace ferrowin
