// TfrmManager: the pages, and the predefined site's page.
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QVBoxLayout>

#include "CharacterSets.h"
#include "Manager.h"
#include "Options.h"

namespace ferrowin {

namespace {

constexpr int FieldLength = 512;
constexpr int SiteNameLength = 256;
constexpr int PortLength = 16;

QLineEdit* NewField(QWidget* parent, bool password = false) {
  auto* edit = new QLineEdit(parent);
  edit->setMaxLength(FieldLength);
  if (password) edit->setEchoMode(QLineEdit::Password);
  return edit;
}

void AddRow(QGridLayout* grid, int row, const QString& caption, QWidget* field) {
  auto* label = new QLabel(caption);
  label->setBuddy(field);
  grid->addWidget(label, row, 0);
  grid->addWidget(field, row, 1);
}

}  // namespace

QWidget* TfrmManager::NewPredefinedPage() {
  tabPredefined = new QWidget;
  auto* layout = new QHBoxLayout(tabPredefined);
  auto* grid = new QGridLayout;
  editDevHost = NewField(tabPredefined);
  editDevHost->setReadOnly(true);
  editDevUser = NewField(tabPredefined);
  editDevPassword = NewField(tabPredefined, true);
  cbDevAnonymous = new QCheckBox("Anonymous", tabPredefined);
  AddRow(grid, 0, "Host Address:", editDevHost);
  AddRow(grid, 1, "User ID:", editDevUser);
  AddRow(grid, 2, "Password:", editDevPassword);
  grid->addWidget(cbDevAnonymous, 3, 1);
  grid->setRowStretch(4, 1);
  imgLogo = new QLabel(tabPredefined);
  imgLogo->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
  layout->addLayout(grid, 1);
  layout->addWidget(imgLogo);

  connect(cbDevAnonymous, &QCheckBox::clicked, this, [this] { cbDevAnonymousClick(); });
  // While the page is shown, the General page follows what is typed here.
  connect(editDevUser, &QLineEdit::textEdited, this, [this](const QString& t) { editUser->setText(t); });
  connect(editDevPassword, &QLineEdit::textEdited, this, [this](const QString& t) { editPassword->setText(t); });
  return tabPredefined;
}

QWidget* TfrmManager::NewGeneralPage() {
  tabGeneral = new QWidget;
  auto* layout = new QHBoxLayout(tabGeneral);
  auto* grid = new QGridLayout;
  cmboSite = new QComboBox(tabGeneral);
  cmboSite->setEditable(true);
  cmboSite->setInsertPolicy(QComboBox::NoInsert);
  // Completing a name as it is typed would load another site over what was entered.
  cmboSite->setCompleter(nullptr);
  cmboSite->lineEdit()->setMaxLength(SiteNameLength);
  // "]" or a line break cannot be part of a section name: such a site could not be written.
  cmboSite->setValidator(new QRegularExpressionValidator(QRegularExpression("[^\\]\\r\\n]*"), cmboSite));
  editHost = NewField(tabGeneral);
  editUser = NewField(tabGeneral);
  editPassword = NewField(tabGeneral, true);
  cbAnonymous = new QCheckBox("Anonymous", tabGeneral);
  AddRow(grid, 0, "Host Name:", cmboSite);
  AddRow(grid, 1, "Host Address:", editHost);
  AddRow(grid, 2, "User ID:", editUser);
  AddRow(grid, 3, "Password:", editPassword);
  grid->addWidget(cbAnonymous, 4, 1);
  grid->setRowStretch(5, 1);

  auto* buttons = new QVBoxLayout;
  btnNew = new QPushButton("&New", tabGeneral);
  btnDelete = new QPushButton("&Delete", tabGeneral);
  btnApply = new QPushButton("&Apply", tabGeneral);
  for (QPushButton* b : {btnNew, btnDelete, btnApply}) {
    b->setAutoDefault(false);
    buttons->addWidget(b);
  }
  buttons->addStretch();
  layout->addLayout(grid, 1);
  layout->addLayout(buttons);

  connect(cmboSite, &QComboBox::editTextChanged, this, [this](const QString& t) { cmboSiteEdited(t); });
  connect(cbAnonymous, &QCheckBox::clicked, this, [this] { cbAnonymousClick(); });
  connect(btnNew, &QPushButton::clicked, this, [this] { btnNewClick(); });
  connect(btnDelete, &QPushButton::clicked, this, [this] { btnDeleteClick(); });
  connect(btnApply, &QPushButton::clicked, this, [this] { btnApplyClick(); });
  return tabGeneral;
}

QWidget* TfrmManager::NewAdditionalPage() {
  tabAdditional = new QWidget;
  auto* grid = new QGridLayout(tabAdditional);
  editHostFolder = NewField(tabAdditional);
  editPort = new QLineEdit(tabAdditional);
  editPort->setMaxLength(PortLength);
  editPort->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), editPort));
  editPort->setMaximumWidth(editPort->fontMetrics().horizontalAdvance("0000000000"));
  AddRow(grid, 0, "Host directory:", editHostFolder);
  AddRow(grid, 1, "Port:", editPort);
  for (int i = 0; i < 3; ++i) {
    editLocalFolder[i] = NewField(tabAdditional);
    btnBrowse[i] = new QPushButton("Browse...", tabAdditional);
    btnBrowse[i]->setAutoDefault(false);
    AddRow(grid, 2 + i, QString("Local directory %1:").arg(i + 1), editLocalFolder[i]);
    grid->addWidget(btnBrowse[i], 2 + i, 2);
    connect(btnBrowse[i], &QPushButton::clicked, this, [this, i] { btnBrowseClick(i); });
  }
  cbFirewall = new QCheckBox("Use Firewall setting", tabAdditional);
  grid->addWidget(cbFirewall, 5, 1, 1, 2);
  cmboCharacterSet = NewCharacterSetCombo(tabAdditional, true);
  AddRow(grid, 6, "Character set:", cmboCharacterSet);
  cmboEncryption = new QComboBox(tabAdditional);
  cmboEncryption->addItems({"Plain FTP", "Require explicit TLS", "Implicit TLS", "Use TLS if offered"});
  AddRow(grid, 7, "Encryption:", cmboEncryption);
  // Implicit TLS has a port of its own: follow it while the port is a default one.
  connect(cmboEncryption, &QComboBox::activated, this, [this](int index) {
    const bool implicit = index == 2;
    if (editPort->text() == (implicit ? "21" : "990")) editPort->setText(implicit ? "990" : "21");
  });
  grid->setRowStretch(8, 1);
  return tabAdditional;
}

QWidget* TfrmManager::NewNotesPage() {
  tabNotes = new QWidget;
  auto* layout = new QVBoxLayout(tabNotes);
  memoNotes = new QPlainTextEdit(tabNotes);
  auto* label = new QLabel("Notes:", tabNotes);
  label->setBuddy(memoNotes);
  layout->addWidget(label);
  layout->addWidget(memoNotes);
  return tabNotes;
}

void TfrmManager::FillPredefinedPage() {
  editDevHost->setText(QString::fromStdString(FPredefined->Host));
  cbDevAnonymous->setChecked(FPredefined->Anonymous);
  if (FPredefined->Anonymous) {
    cbDevAnonymousClick();
  } else {
    editDevUser->setText(QString::fromStdString(FPredefined->User));
    editDevPassword->setText(QString::fromStdString(FPredefined->Password));
    editDevPassword->setEchoMode(QLineEdit::Password);
  }
  QPixmap logo(QString::fromStdString(FContext.PredefinedFolder + "/logo.gif"));
  if (!logo.isNull()) {
    imgLogo->setPixmap(logo);
    imgLogo->setMinimumSize(logo.size());
  }
}

void TfrmManager::cbDevAnonymousClick() {
  if (cbDevAnonymous->isChecked()) {
    editDevUser->setText(QString::fromStdString(std::string(AnonymousUser)));
    editDevPassword->setEchoMode(QLineEdit::Normal);
    editDevPassword->setText(QString::fromStdString(FPrefs.EMail));
  } else {
    editDevPassword->setEchoMode(QLineEdit::Password);
  }
  if (PredefinedActive()) CopyPredefined();
}

bool TfrmManager::PredefinedActive() const {
  return tabPredefined && pgctrlSites->currentWidget() == tabPredefined;
}

void TfrmManager::CopyPredefined() {
  ClearFields();
  FUpdating = true;
  cmboSite->setEditText(pgctrlSites->tabText(pgctrlSites->indexOf(tabPredefined)));
  FUpdating = false;
  FCurrentSite = cmboSite->currentText().trimmed();
  cbAnonymous->setChecked(cbDevAnonymous->isChecked());
  cbAnonymousClick();
  editHost->setText(editDevHost->text());
  editUser->setText(editDevUser->text());
  editPassword->setText(editDevPassword->text());
}

void TfrmManager::pgctrlSitesChange() {
  if (FOpened && PredefinedActive()) CopyPredefined();
}

}  // namespace ferrowin
