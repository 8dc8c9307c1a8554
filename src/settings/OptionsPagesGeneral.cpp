// TfrmOptions: the General, Advanced and Connection pages.
#include <algorithm>

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include "FTPUtils.h"
#include "CharacterSets.h"
#include "OptionsDialog.h"
#include "OptionsWidgets.h"

namespace ferrowin {

namespace {

QString FileNameOnly(const QString& path) { return QFileInfo(path).fileName(); }

QString ToQ(const std::string& s) { return QString::fromStdString(s); }

void AddPathRow(QGridLayout* grid, int row, const QString& caption, QLineEdit* edit, QToolButton* browse) {
  grid->addWidget(new QLabel(caption), row, 0);
  grid->addWidget(edit, row, 1);
  if (browse) {
    browse->setToolTip("Browse...");
    grid->addWidget(browse, row, 2);
  }
}

// "[spin] text", or "caption [spin] text", in one row.
QHBoxLayout* SpinRow(const QString& before, QSpinBox* spin, const QString& after) {
  auto* row = new QHBoxLayout;
  if (!before.isEmpty()) row->addWidget(new QLabel(before));
  row->addWidget(spin);
  row->addWidget(new QLabel(after));
  row->addStretch();
  return row;
}

}  // namespace

QWidget* TfrmOptions::NewGeneralPage() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  editEMail = new QLineEdit(page);
  editEMail->setMaxLength(256);
  editViewer = new QLineEdit(page);
  btnBrowseViewer = NewBrowseButton(page);
  editLogFile = new QLineEdit(page);
  btnBrowseLogFile = NewBrowseButton(page);
  cbLogToFile = new QCheckBox("Description of all actions in a log file", page);
  editDefaultDir = new QLineEdit(page);
  btnBrowseDefaultDir = NewBrowseButton(page);
  cbShowToolTips = new QCheckBox("Show Tool Tips", page);

  AddPathRow(grid, 0, "EMail Address:", editEMail, nullptr);
  AddPathRow(grid, 1, "Text Viewer:", editViewer, btnBrowseViewer);
  AddPathRow(grid, 2, "Log Filename:", editLogFile, btnBrowseLogFile);
  grid->addWidget(cbLogToFile, 3, 1, 1, 2);
  AddPathRow(grid, 4, "Default Directory:", editDefaultDir, btnBrowseDefaultDir);
  grid->addWidget(cbShowToolTips, 5, 1, 1, 2);
  grid->setRowStretch(6, 1);

  connect(editLogFile, &QLineEdit::textEdited, this, [this](const QString& t) { editLogFileEdited(t); });
  connect(editViewer, &QLineEdit::textEdited, this, [this](const QString& t) { editViewerEdited(t); });
  connect(btnBrowseViewer, &QToolButton::clicked, this, [this] { btnBrowseViewerClick(); });
  connect(btnBrowseLogFile, &QToolButton::clicked, this, [this] { btnBrowseLogFileClick(); });
  connect(btnBrowseDefaultDir, &QToolButton::clicked, this, [this] { btnBrowseDefaultDirClick(); });
  return page;
}

QWidget* TfrmOptions::NewAdvancedPage() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  auto* checks = new QVBoxLayout;
  cbNoXferOlder = new QCheckBox("Don't tranfer older or same-aged files", page);
  cbASCIIOnView = new QCheckBox("Transfer ASCII on view", page);
  cbPreserveTimeStamp = new QCheckBox("Preserve date and time on downloaded files", page);
  cbConfirmOverwrites = new QCheckBox("Confirm file overwrites", page);
  cbConfirmRestarts = new QCheckBox("Confirm recoveries", page);
  cbListHidden = new QCheckBox("List hidden files", page);
  for (QCheckBox* cb : {cbNoXferOlder, cbASCIIOnView, cbPreserveTimeStamp, cbConfirmOverwrites, cbConfirmRestarts,
                        cbListHidden})
    checks->addWidget(cb);
  checks->addStretch();

  rgTryToResume = new TRadioGroup(page);
  rgTryToResume->setTitle(" Type of recoveries for failed tranfers ");
  rgTryToResume->SetItems({"None", "Binary files", "All files"});
  rgLocalDblClk = new TRadioGroup(page, 2);
  rgLocalDblClk->setTitle(" Double click action (local) ");
  rgLocalDblClk->SetItems({"&Properties", "&View", "&Upload", "&Open"});
  rgHostDblClk = new TRadioGroup(page, 2);
  rgHostDblClk->setTitle(" Double click action (host) ");
  rgHostDblClk->SetItems({"P&roperties", "V&iew", "&Download", "O&pen"});

  grid->addLayout(checks, 0, 0, 2, 1);
  grid->addWidget(rgTryToResume, 0, 1);
  grid->addWidget(rgLocalDblClk, 2, 0);
  grid->addWidget(rgHostDblClk, 2, 1);
  grid->setRowStretch(3, 1);
  return page;
}

QWidget* TfrmOptions::NewConnectionPage() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  auto* checks = new QVBoxLayout;
  cbShowManager = new QCheckBox("View the session manager on startup", page);
  cbPromptForPass = new QCheckBox("Ask for password if none is specified", page);
  cbPing = new QCheckBox("Stay connected with the server", page);
  cbUsePASV = new QCheckBox("Use passive mode (PASV) for transfers", page);
  cbQuickDisconnect = new QCheckBox("Quick disconnects", page);
  cbSingleConnectionsOnly = new QCheckBox("Single Connections Only", page);
  cbMachineListings = new QCheckBox("Use machine-readable listings", page);
  for (QCheckBox* cb : {cbShowManager, cbPromptForPass, cbPing, cbUsePASV, cbQuickDisconnect, cbSingleConnectionsOnly,
                        cbMachineListings})
    checks->addWidget(cb);
  cmboCodePage = NewCharacterSetCombo(page, false);
  auto* codePage = new QHBoxLayout;
  codePage->addWidget(new QLabel("Code page of names that are not UTF-8:", page));
  codePage->addWidget(cmboCodePage);
  checks->addLayout(codePage);

  editRetryDelay = NewSpinEdit(page, 0, 1000);
  editTimeout = NewSpinEdit(page, 1, 1000);
  checks->addLayout(SpinRow("", editRetryDelay, "seconds delay between connection attempts."));
  checks->addLayout(SpinRow("Timeout after", editTimeout, "seconds"));
  checks->addStretch();

  grpReconnect = new QGroupBox("Try to reconnect", page);
  auto* reconnect = new QGridLayout(grpReconnect);
  rbRetries = new QRadioButton(grpReconnect);
  rbRetries->setToolTip("Try the number of times beside it");  // its text is the spin box's row
  editRetries = NewSpinEdit(grpReconnect, 1, 1000);
  rbInfiniteRetry = new QRadioButton("until connected", grpReconnect);
  reconnect->addWidget(rbRetries, 0, 0);
  reconnect->addLayout(SpinRow("", editRetries, "times"), 0, 1);
  reconnect->addWidget(rbInfiniteRetry, 1, 0, 1, 2);
  connect(editRetries, &QSpinBox::valueChanged, this, [this] { rbRetries->setChecked(true); });

  rgTransferMode = new TRadioGroup(page);
  rgTransferMode->setTitle("Default transfer mode");
  rgTransferMode->SetItems({"A&uto", "ASC&II", "&Binary", "&EBCDIC", "&Local"});

  grid->addLayout(checks, 0, 0, 3, 1);
  grid->addWidget(grpReconnect, 0, 1);
  grid->addWidget(rgTransferMode, 1, 1);
  grid->setRowStretch(2, 1);
  return page;
}

void TfrmOptions::LoadGeneral() {
  // A longer stored address must not be cut by merely opening the dialog.
  editEMail->setMaxLength(std::max<int>(256, static_cast<int>(FPrefs.EMail.size())));
  editEMail->setText(ToQ(FPrefs.EMail));
  FViewerPath = ToQ(FPrefs.Viewer);
  editViewer->setText(FileNameOnly(FViewerPath));
  FLogPath = ToQ(FPrefs.LogFile);
  editLogFile->setText(FileNameOnly(FLogPath));
  cbLogToFile->setChecked(FPrefs.LogToFile);
  cbShowToolTips->setChecked(FPrefs.ShowToolTips);
  editDefaultDir->setText(ToQ(FPrefs.DefaultDir));

  cbNoXferOlder->setChecked(FPrefs.NoXferOlder);
  cbASCIIOnView->setChecked(FPrefs.ASCIIOnView);
  cbPreserveTimeStamp->setChecked(FPrefs.PreserveTimeStamp);
  cbConfirmOverwrites->setChecked(FPrefs.ConfirmOverwrites);
  cbConfirmRestarts->setChecked(FPrefs.ConfirmRestarts);
  cbListHidden->setChecked(FPrefs.ListHidden);
  rgTryToResume->SetItemIndex(FPrefs.TryToResume);
  rgLocalDblClk->SetItemIndex(FPrefs.LocalDblClk);
  rgHostDblClk->SetItemIndex(FPrefs.HostDblClk);
}

void TfrmOptions::LoadConnection() {
  cbShowManager->setChecked(FPrefs.ShowManager);
  cbPromptForPass->setChecked(FPrefs.PromptForPass);
  cbPing->setChecked(FPrefs.Ping);
  cbUsePASV->setChecked(FPrefs.UsePASV);
  cbQuickDisconnect->setChecked(FPrefs.QuickDisconnect);
  SetSpinValue(editRetryDelay, FPrefs.RetryDelay);
  SetSpinValue(editRetries, FPrefs.Retries);
  SetSpinValue(editTimeout, FPrefs.Timeout);
  (FPrefs.InfiniteRetry ? rbInfiniteRetry : rbRetries)->setChecked(true);
  rgTransferMode->SetItemIndex(FPrefs.TransferMode);
  cbSingleConnectionsOnly->setChecked(FPrefs.SingleConnectionsOnly);
  cbMachineListings->setChecked(FPrefs.MachineListings);
  SetCharacterSet(cmboCodePage, FPrefs.CodePage);
}

void TfrmOptions::SaveGeneral() {
  FPrefs.EMail = editEMail->text().toStdString();
  FPrefs.Viewer = FViewerPath.toStdString();
  FPrefs.LogFile = FLogPath.toStdString();
  FPrefs.LogToFile = cbLogToFile->isChecked();
  FPrefs.ShowToolTips = cbShowToolTips->isChecked();
  FPrefs.DefaultDir = editDefaultDir->text().toStdString();

  FPrefs.NoXferOlder = cbNoXferOlder->isChecked();
  FPrefs.ASCIIOnView = cbASCIIOnView->isChecked();
  FPrefs.PreserveTimeStamp = cbPreserveTimeStamp->isChecked();
  FPrefs.ConfirmOverwrites = cbConfirmOverwrites->isChecked();
  FPrefs.ConfirmRestarts = cbConfirmRestarts->isChecked();
  FPrefs.ListHidden = cbListHidden->isChecked();
  FPrefs.TryToResume = RadioValue(rgTryToResume, FPrefs.TryToResume);
  FPrefs.LocalDblClk = RadioValue(rgLocalDblClk, FPrefs.LocalDblClk);
  FPrefs.HostDblClk = RadioValue(rgHostDblClk, FPrefs.HostDblClk);
}

void TfrmOptions::SaveConnection() {
  FPrefs.ShowManager = cbShowManager->isChecked();
  FPrefs.PromptForPass = cbPromptForPass->isChecked();
  FPrefs.Ping = cbPing->isChecked();
  FPrefs.UsePASV = cbUsePASV->isChecked();
  FPrefs.QuickDisconnect = cbQuickDisconnect->isChecked();
  FPrefs.RetryDelay = SpinValue(editRetryDelay, DefaultRetryDelay);
  FPrefs.Retries = SpinValue(editRetries, DefaultRetries);
  FPrefs.InfiniteRetry = rbInfiniteRetry->isChecked();
  FPrefs.Timeout = SpinValue(editTimeout, DefaultTimeout);
  FPrefs.TransferMode = RadioValue(rgTransferMode, FPrefs.TransferMode);
  FPrefs.SingleConnectionsOnly = cbSingleConnectionsOnly->isChecked();
  FPrefs.MachineListings = cbMachineListings->isChecked();
  if (const std::string codePage = CharacterSetOf(cmboCodePage); !codePage.empty()) FPrefs.CodePage = codePage;
}

// The log always lives in the program's folder when its name is typed.
void TfrmOptions::editLogFileEdited(const QString& text) {
  FLogPath = ToQ(ProgramFilesFolder()) + text;
}

// A typed name without a folder is a program looked up on the PATH when it is started.
void TfrmOptions::editViewerEdited(const QString& text) { FViewerPath = text; }

void TfrmOptions::btnBrowseViewerClick() {
  QString path = AskFileName(this, "Select Text Viewer", FViewerPath, "Application Files (*.exe);;All Files (*)");
  if (path.isEmpty()) return;
  FViewerPath = path;
  editViewer->setText(FileNameOnly(path));
}

void TfrmOptions::btnBrowseLogFileClick() {
  QString path = AskFileName(this, QString(), FLogPath, QString(), QFileDialog::AcceptSave, QFileDialog::AnyFile);
  if (path.isEmpty()) return;
  FLogPath = path;
  editLogFile->setText(FileNameOnly(path));
}

void TfrmOptions::btnBrowseDefaultDirClick() {
  QString folder = AskFileName(this, QString(), editDefaultDir->text(), QString(), QFileDialog::AcceptOpen,
                               QFileDialog::Directory);
  if (!folder.isEmpty()) editDefaultDir->setText(folder);
}

}  // namespace ferrowin
