#include "FileProp.h"

#include <QCheckBox>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <array>
#include <set>

#include "AllViewsList.h"
#include "DateTime.h"
#include "Help.h"
#include "Parsers.h"
#include "Shell.h"

namespace ferrowin {

namespace {

constexpr std::uint16_t AllPermissions = 2044;  // bits 2 to 10
constexpr int FirstPermissionBit = 2;
constexpr int LargeIconSize = 32;

QFrame* NewLine(QWidget* parent) {
  auto* line = new QFrame(parent);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  return line;
}

// The icon and name row, a line, then one row per caption with its value label.
struct TFactRows {
  QLabel* Icon;
  QLabel* Name;
  std::vector<QLabel*> Values;
};

TFactRows AddFactRows(QWidget* page, QGridLayout* grid, std::initializer_list<const char*> captions) {
  TFactRows rows{new QLabel(page), new QLabel(page), {}};
  rows.Icon->setFixedSize(LargeIconSize + 8, LargeIconSize + 8);
  rows.Name->setTextInteractionFlags(Qt::TextSelectableByMouse);
  grid->addWidget(rows.Icon, 0, 0);
  grid->addWidget(rows.Name, 0, 1);
  grid->addWidget(NewLine(page), 1, 0, 1, 2);
  int row = 2;
  for (const char* caption : captions) {
    auto* value = new QLabel(page);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(new QLabel(caption, page), row, 0);
    grid->addWidget(value, row++, 1);
    rows.Values.push_back(value);
  }
  grid->setColumnStretch(1, 1);
  grid->setColumnMinimumWidth(0, 80);
  return rows;
}

QString ToQ(const std::string& s) { return QString::fromStdString(s); }

QString LongDate(TDateTime date) {
  const TDateTimeParts d = DecodeDateTime(date);
  return QLocale().toString(QDate(d.Year, d.Month, d.Day), QLocale::LongFormat);
}

const TListingEntry* RecordOf(const TListItem& item) { return static_cast<const TListingEntry*>(item.Data); }

}  // namespace

std::string PropertiesSizeText(std::uint64_t size) {
  std::string head;
  if (size >= 1048577) head = std::to_string(size / 1048576) + "MB";
  else if (size <= 1024) head = std::to_string(size);
  else head = std::to_string(size / 1024) + "KB";
  return head + " (" + std::to_string(size) + " Bytes)";
}

TfrmProperties::TfrmProperties(QWidget* parent) : QDialog(parent) {
  SetHelpContext(this, PropertiesHelpContext);
  auto* layout = new QVBoxLayout(this);
  pgctrlProperties = new QTabWidget(this);
  pgctrlProperties->addTab(NewGeneralPage(), "General");
  layout->addWidget(pgctrlProperties);
  auto* buttons = new QDialogButtonBox(this);
  btnOK = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
  btnCancel = buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
  btnOK->setDefault(true);
  layout->addWidget(buttons);
  connect(btnOK, &QPushButton::clicked, this, [this] { btnOKClick(); });
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
  setMinimumWidth(360);
}

QWidget* TfrmProperties::NewGeneralPage() {
  tbshtGeneral = new QWidget(this);
  auto* grid = new QGridLayout(tbshtGeneral);
  const TFactRows facts = AddFactRows(tbshtGeneral, grid, {"Type", "Location", "Size", "Modified"});
  imgIcon = facts.Icon;
  lblFileName = facts.Name;
  lblType = facts.Values[0];
  lblLocation = facts.Values[1];
  lblSize = facts.Values[2];
  lblDate = facts.Values[3];
  grid->addWidget(NewLine(tbshtGeneral), 6, 0, 1, 2);
  lblAttributes = new QLabel("Attributes:", tbshtGeneral);
  grid->addWidget(lblAttributes, 7, 0, 1, 2);

  auto* boxes = new QGridLayout;
  std::array<QCheckBox*, 9> made{};
  const char* const groups[] = {"Owner", "Group", "Everyone"};
  const char* const kinds[] = {"Read", "Write", "Execute"};
  std::array<QLabel*, 3> labels{};
  for (int g = 0; g < 3; ++g) {
    labels[g] = new QLabel(groups[g], tbshtGeneral);
    boxes->addWidget(labels[g], g, 0);
    for (int k = 0; k < 3; ++k) {
      made[g * 3 + k] = new QCheckBox(kinds[k], tbshtGeneral);
      boxes->addWidget(made[g * 3 + k], g, k + 1);
      connect(made[g * 3 + k], &QCheckBox::clicked, this, [this] { cbOwnerReadClick(); });
    }
  }
  lblOwner = labels[0];
  lblGroup = labels[1];
  lblEveryone = labels[2];
  cbOwnerRead = made[0], cbOwnerWrite = made[1], cbOwnerExecute = made[2];
  cbGroupRead = made[3], cbGroupWrite = made[4], cbGroupExecute = made[5];
  cbAllRead = made[6], cbAllWrite = made[7], cbAllExecute = made[8];
  boxes->setColumnMinimumWidth(0, 80);
  grid->addLayout(boxes, 8, 0, 1, 2);
  grid->setRowStretch(9, 1);
  return tbshtGeneral;
}

QCheckBox* TfrmProperties::Box(int bit) const {
  const std::array<QCheckBox*, 9> boxes = {cbOwnerRead, cbOwnerWrite, cbOwnerExecute, cbGroupRead, cbGroupWrite,
                                           cbGroupExecute, cbAllRead, cbAllWrite, cbAllExecute};
  return boxes[bit - FirstPermissionBit];
}

void TfrmProperties::showEvent(QShowEvent* event) {
  FormShow();
  QDialog::showEvent(event);
}

void TfrmProperties::FormShow() {
  PermissionSet = 0;
  const QString location = ToQ(Location).chopped(Location.empty() ? 0 : 1);
  lblLocation->setText(location.isEmpty() ? QStringLiteral("(Server Root)") : location);
  if (List && Images && List->Items()) {
    const std::size_t count = List->SelectedItems().size();
    if (count == 1) ShowOne(List->Selected());
    else if (count > 1) ShowSeveral(List->Selected());
  }
  Setting = true;
  for (int bit = FirstPermissionBit; bit <= 10; ++bit) {
    Box(bit)->setChecked(EditPermissions && (PermissionSet & (1u << bit)));
    Box(bit)->setEnabled(EditPermissions);
  }
  for (QLabel* label : {lblAttributes, lblOwner, lblGroup, lblEveryone}) label->setEnabled(EditPermissions);
  Setting = false;
  Changed = false;
}

void TfrmProperties::ShowOne(int item) {
  const TListItem& e = List->Items()->Item(item);
  const TListingEntry* record = RecordOf(e);
  imgIcon->setPixmap(Images->Icon(e.ImageIndex, e.OverlayIndex).pixmap(LargeIconSize, LargeIconSize));
  setWindowTitle(e.Caption + " Properties");
  lblFileName->setText(e.Caption);
  lblType->setText(e.SubItems.value(1));
  if (!record) return;
  lblSize->setText(ToQ(PropertiesSizeText(static_cast<std::uint64_t>(record->Size))));
  lblDate->setText(LongDate(record->Date));
  PermissionSet = record->Attributes & AllPermissions;
}

void TfrmProperties::ShowSeveral(int item) {
  const TListItem& e = List->Items()->Item(item);
  setWindowTitle(e.Caption + ",... Properties");
  int files = 0, folders = 0;
  std::uint64_t total = 0;  // 64 bits: a selection of large files passes 2 GiB easily
  std::set<QString> types;
  PermissionSet = AllPermissions;
  for (int row : List->SelectedItems()) {
    const TListItem& selected = List->Items()->Item(row);
    types.insert(selected.SubItems.value(1));
    const TListingEntry* record = RecordOf(selected);
    if (!record) continue;
    ++(record->Attributes & faDirectory ? folders : files);
    total += static_cast<std::uint64_t>(record->Size);
    PermissionSet &= record->Attributes;
  }
  lblFileName->setText(QStringLiteral("%1 Files, %2 Folders").arg(files).arg(folders));
  if (types.size() == 1) {
    lblType->setText(*types.begin());
    imgIcon->setPixmap(Images->Icon(e.ImageIndex, e.OverlayIndex).pixmap(LargeIconSize, LargeIconSize));
  } else {
    lblType->setText(QStringLiteral("Multiple Types"));
  }
  lblSize->setText(ToQ(PropertiesSizeText(total)));
  lblDate->setText(QStringLiteral("Multiple Dates"));
}

void TfrmProperties::cbOwnerReadClick() {
  if (EditPermissions && !Setting) Changed = true;
}

void TfrmProperties::btnOKClick() {
  PermissionSet = 0;
  if (Changed)
    for (int bit = FirstPermissionBit; bit <= 10; ++bit)
      if (Box(bit)->isChecked()) PermissionSet |= static_cast<std::uint16_t>(1u << bit);
  accept();
}

QString PermissionText(const QFileInfo& info) {
  static constexpr std::array<std::pair<QFileDevice::Permission, char>, 9> bits = {{
      {QFileDevice::ReadOwner, 'r'}, {QFileDevice::WriteOwner, 'w'}, {QFileDevice::ExeOwner, 'x'},
      {QFileDevice::ReadGroup, 'r'}, {QFileDevice::WriteGroup, 'w'}, {QFileDevice::ExeGroup, 'x'},
      {QFileDevice::ReadOther, 'r'}, {QFileDevice::WriteOther, 'w'}, {QFileDevice::ExeOther, 'x'}}};
  QString text;
  for (const auto& [permission, letter] : bits) text += info.permissions() & permission ? QChar(letter) : QChar('-');
  return text;
}

TdlgLocalProperties::TdlgLocalProperties(const QFileInfo& info, QWidget* parent) : QDialog(parent) {
  const QString name = info.fileName().isEmpty() ? info.absoluteFilePath() : info.fileName();
  setWindowTitle(name + " Properties");
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  const TFactRows facts = AddFactRows(this, grid, {"Type", "Location", "Size", "Modified", "Permissions"});
  facts.Icon->setPixmap(QFileIconProvider().icon(info).pixmap(LargeIconSize, LargeIconSize));
  lblFileName = facts.Name;
  lblType = facts.Values[0];
  lblLocation = facts.Values[1];
  lblSize = facts.Values[2];
  lblDate = facts.Values[3];
  lblPermissions = facts.Values[4];
  lblFileName->setText(name);
  const QString type = info.isDir() ? QStringLiteral("File Folder") : ShellTypeName(info.absoluteFilePath());
  lblType->setText(info.isSymLink() ? QStringLiteral("Shortcut to ") + info.symLinkTarget() : type);
  lblLocation->setText(info.absolutePath());
  if (!info.isDir()) lblSize->setText(ToQ(PropertiesSizeText(static_cast<std::uint64_t>(info.size()))));
  lblDate->setText(QLocale().toString(info.lastModified(), QLocale::LongFormat));
  lblPermissions->setText(QStringLiteral("%1  (owner %2, group %3)").arg(PermissionText(info), info.owner(), info.group()));
  layout->addLayout(grid);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::accept);
  layout->addWidget(buttons);
  setMinimumWidth(380);
}

}  // namespace ferrowin
