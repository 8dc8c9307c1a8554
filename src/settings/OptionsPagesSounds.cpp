// TfrmOptions: the Sounds page (choices take effect at once) and the File Types page.
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "OptionsDialog.h"
#include "OptionsWidgets.h"
#include "SoundPlayer.h"

namespace ferrowin {

namespace {

constexpr const char* NoSound = "(None)";

// Inserts text into a sorted list at its place, ignoring case.
void InsertSorted(QListWidget* list, const QString& text) {
  int row = 0;
  while (row < list->count() && QString::compare(list->item(row)->text(), text, Qt::CaseInsensitive) < 0) ++row;
  list->insertItem(row, text);
}

bool ListHolds(const QListWidget* list, const QString& text) {
  for (int i = 0; i < list->count(); ++i)
    if (QString::compare(list->item(i)->text(), text, Qt::CaseInsensitive) == 0) return true;
  return false;
}

}  // namespace

QWidget* TfrmOptions::NewSoundsPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  tvSounds = new QTreeWidget(page);
  tvSounds->setHeaderHidden(true);
  tvSounds->setRootIsDecorated(false);
  for (std::string_view caption : SoundCaptions)
    new QTreeWidgetItem(tvSounds, {QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size()))});

  grpSound = new QGroupBox(page);
  auto* row = new QHBoxLayout(grpSound);
  cmboSound = new QComboBox(grpSound);
  cmboSound->setEditable(true);
  cmboSound->setInsertPolicy(QComboBox::NoInsert);
  cmboSound->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  btnBrowseSound = NewBrowseButton(grpSound);
  btnBrowseSound->setToolTip("Browse...");
  btnStartSound = new QToolButton(grpSound);
  btnStartSound->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
  btnStartSound->setToolTip("Start");
  btnStopSound = new QToolButton(grpSound);
  btnStopSound->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
  btnStopSound->setToolTip("Stop");
  for (QWidget* w : std::initializer_list<QWidget*>{cmboSound, btnBrowseSound, btnStartSound, btnStopSound})
    row->addWidget(w);
  grpSound->setEnabled(false);

  layout->addWidget(tvSounds);
  layout->addWidget(grpSound);
  connect(tvSounds, &QTreeWidget::currentItemChanged, this, [this] { tvSoundsChange(); });
  connect(cmboSound, &QComboBox::editTextChanged, this, [this](const QString& t) { cmboSoundChange(t); });
  connect(btnBrowseSound, &QToolButton::clicked, this, [this] { btnBrowseSoundClick(); });
  connect(btnStartSound, &QToolButton::clicked, this, [this] { FPlayer->Play(cmboSound->currentText().toStdString()); });
  connect(btnStopSound, &QToolButton::clicked, this, [this] { FPlayer->Stop(); });
  return page;
}

QWidget* TfrmOptions::NewFileTypesPage() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  lbFileTypes = new QListWidget(page);
  editFileType = new QLineEdit(page);
  btnAddFileType = new QPushButton("&Add", page);
  btnRemoveFileType = new QPushButton("&Remove", page);
  btnAddFileType->setEnabled(false);
  btnRemoveFileType->setEnabled(false);
  grid->addWidget(lbFileTypes, 0, 0, 3, 1);
  grid->addWidget(editFileType, 0, 1);
  grid->addWidget(btnAddFileType, 1, 1);
  grid->addWidget(btnRemoveFileType, 2, 1, Qt::AlignTop);
  grid->setColumnStretch(0, 1);

  connect(editFileType, &QLineEdit::textChanged, this,
          [this](const QString& t) { btnAddFileType->setEnabled(!t.isEmpty()); });
  connect(editFileType, &QLineEdit::returnPressed, this, [this] {
    if (btnAddFileType->isEnabled()) btnAddFileTypeClick();
  });
  connect(btnAddFileType, &QPushButton::clicked, this, [this] { btnAddFileTypeClick(); });
  connect(btnRemoveFileType, &QPushButton::clicked, this, [this] { btnRemoveFileTypeClick(); });
  connect(lbFileTypes, &QListWidget::itemSelectionChanged, this,
          [this] { btnRemoveFileType->setEnabled(!lbFileTypes->selectedItems().isEmpty()); });
  return page;
}

void TfrmOptions::LoadSounds() {
  cmboSound->addItem(NoSound);
  for (int i = 0; i < tvSounds->topLevelItemCount(); ++i) {
    const QString path = QString::fromStdString(FPrefs.Sounds[static_cast<std::size_t>(i)]);
    if (!path.isEmpty() && cmboSound->findText(path) < 0) cmboSound->addItem(path);
    UpdateSoundIcon(tvSounds->topLevelItem(i));
  }
}

void TfrmOptions::LoadFileTypes() {
  for (const std::string& ext : FPrefs.FileTypes) {
    QString text = QString::fromStdString(ext);
    if (!ListHolds(lbFileTypes, text)) InsertSorted(lbFileTypes, text);
  }
}

// Events without a sound show an empty picture of the same size, so the captions line up.
void TfrmOptions::UpdateSoundIcon(QTreeWidgetItem* item) {
  const auto index = static_cast<std::size_t>(tvSounds->indexOfTopLevelItem(item));
  if (!FPrefs.Sounds[index].empty()) {
    item->setIcon(0, style()->standardIcon(QStyle::SP_MediaVolume));
    item->setData(0, Qt::UserRole, true);
    return;
  }
  const int size = style()->pixelMetric(QStyle::PM_SmallIconSize);
  QPixmap blank(size, size);
  blank.fill(Qt::transparent);
  item->setIcon(0, QIcon(blank));
  item->setData(0, Qt::UserRole, false);
}

void TfrmOptions::tvSoundsChange() {
  QTreeWidgetItem* item = tvSounds->currentItem();
  grpSound->setEnabled(item != nullptr);
  if (!item) return;
  const std::string& sound = FPrefs.Sounds[static_cast<std::size_t>(tvSounds->indexOfTopLevelItem(item))];
  cmboSound->setEditText(sound.empty() ? QString(NoSound) : QString::fromStdString(sound));
  cmboSoundChange(cmboSound->currentText());
}

// The event's sound follows the combo at once: an existing file becomes it, "(None)" or
// nothing clears it, and any other text changes nothing.
void TfrmOptions::cmboSoundChange(const QString& text) {
  QTreeWidgetItem* item = tvSounds->currentItem();
  if (!item) return;
  std::string& sound = FPrefs.Sounds[static_cast<std::size_t>(tvSounds->indexOfTopLevelItem(item))];
  if (text.isEmpty() || text == NoSound) {
    sound.clear();
    btnStartSound->setEnabled(false);
  } else if (QFileInfo(text).isFile()) {
    sound = text.toStdString();
    btnStartSound->setEnabled(true);
    if (cmboSound->findText(text) < 0) cmboSound->addItem(text);
  } else {
    btnStartSound->setEnabled(false);
  }
  UpdateSoundIcon(item);
}

void TfrmOptions::btnBrowseSoundClick() {
  QString path = BrowseForPath(this, "Select Sound", QFileInfo(cmboSound->currentText()).path(),
                               QFileDialog::ExistingFile, "Sound Files (*.wav);;All Files (*)");
  if (!path.isEmpty()) cmboSound->setEditText(path);
}

void TfrmOptions::btnAddFileTypeClick() {
  QString ext = editFileType->text().trimmed();
  if (ext.isEmpty()) return;
  if (!ext.startsWith('.')) ext.prepend('.');
  if (!ListHolds(lbFileTypes, ext)) InsertSorted(lbFileTypes, ext);
  editFileType->clear();
}

void TfrmOptions::btnRemoveFileTypeClick() {
  for (QListWidgetItem* item : lbFileTypes->selectedItems()) delete item;
}

}  // namespace ferrowin
