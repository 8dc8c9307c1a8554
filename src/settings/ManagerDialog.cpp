// TfrmManager: opening, loading a site, New, Delete, Apply and closing with OK.
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "CharacterSets.h"
#include "Manager.h"
#include "Options.h"
#include "OptionsWidgets.h"
#include "Prompts.h"

namespace ferrowin {

namespace {

QString ToQ(const std::string& s) { return QString::fromStdString(s); }
std::string ToStd(const QString& s) { return s.toStdString(); }

// A stored value longer than the field allows must not be cut by merely opening the dialog.
void SetFieldText(QLineEdit* edit, const QString& text, int maxLength) {
  edit->setMaxLength(std::max(maxLength, static_cast<int>(text.size())));
  edit->setText(text);
}

}  // namespace

TfrmManager::TfrmManager(TPreferences& prefs, TManagerContext context, QWidget* parent)
    : QDialog(parent),
      FPrefs(prefs),
      FContext(std::move(context)),
      FSites(FContext.SitesFile.empty() ? DefaultSitesFile() : FContext.SitesFile) {
  if (FContext.PredefinedFolder.empty()) FContext.PredefinedFolder = DefaultPredefinedFolder();
  setWindowTitle("Session properties");
  auto* layout = new QVBoxLayout(this);
  pgctrlSites = new QTabWidget(this);
  FPredefined = ReadPredefinedSite(FContext.PredefinedFolder);
  if (FPredefined) pgctrlSites->addTab(NewPredefinedPage(), ToQ(FPredefined->Caption));
  pgctrlSites->addTab(NewGeneralPage(), "General");
  pgctrlSites->addTab(NewAdditionalPage(), "Additional");
  pgctrlSites->addTab(NewNotesPage(), "Notes");
  layout->addWidget(pgctrlSites);
  setMinimumWidth(fontMetrics().averageCharWidth() * 64);

  const TDialogButtons buttons = AddDialogButtons(this, layout, [this] { btnOKClick(); }, [this] {
    if (FContext.OnHelp) FContext.OnHelp(ManagerHelpContext);
  });
  btnOK = buttons.OK;
  btnCancel = buttons.Cancel;
  btnHelp = buttons.Help;
  connect(pgctrlSites, &QTabWidget::currentChanged, this, [this] { pgctrlSitesChange(); });

  FUpdating = true;
  for (const std::string& name : FSites.ReadNames()) {
    QString q = ToQ(name);
    int at = 0;
    while (at < cmboSite->count() && QString::compare(cmboSite->itemText(at), q, Qt::CaseInsensitive) < 0) ++at;
    cmboSite->insertItem(at, q);
    if (q.size() > cmboSite->lineEdit()->maxLength()) cmboSite->lineEdit()->setMaxLength(static_cast<int>(q.size()));
  }
  btnDelete->setEnabled(cmboSite->count() > 0);
  cmboSite->setCurrentIndex(cmboSite->findText(ToQ(FSites.ReadLastSite()), Qt::MatchFixedString));
  FUpdating = false;
  FCurrentSite = cmboSite->count() > 0 ? cmboSite->currentText() : QString();
  LoadSite();
  if (FPredefined) FillPredefinedPage();
}

TfrmManager::~TfrmManager() = default;

void TfrmManager::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (FOpened) return;
  FOpened = true;
  if (FPredefined) {
    pgctrlSites->setCurrentWidget(tabPredefined);
    editDevUser->setFocus();
  } else {
    pgctrlSites->setCurrentWidget(tabGeneral);
    cmboSite->setFocus();
  }
  pgctrlSitesChange();
  if (cmboSite->count() == 0) btnNewClick();
}

void TfrmManager::SetCurrentSite(const QString& name) {
  FUpdating = true;
  cmboSite->setCurrentIndex(cmboSite->findText(name, Qt::MatchFixedString));
  if (cmboSite->currentIndex() < 0) cmboSite->setEditText(name);
  FUpdating = false;
  FCurrentSite = cmboSite->currentText().trimmed();
}

void TfrmManager::LoadSite() { ShowSite(FSites.ReadSite(ToStd(FCurrentSite), FPrefs.EMail)); }

void TfrmManager::ShowSite(const TSite& site) {
  editHost->setText(ToQ(site.Host));
  cbAnonymous->setChecked(site.Anonymous);
  cbAnonymousClick();
  SetFieldText(editUser, ToQ(site.User), 512);
  SetFieldText(editPassword, ToQ(site.Password), 512);
  SetFieldText(editHostFolder, ToQ(site.HostFolder), 512);
  editPort->setText(QString::number(site.Port));
  cbFirewall->setChecked(site.Firewall);
  SetCharacterSet(cmboCharacterSet, site.CharacterSet);
  cmboEncryption->setCurrentIndex(site.Encryption);
  for (std::size_t i = 0; i < editLocalFolder.size(); ++i)
    SetFieldText(editLocalFolder[i], ToQ(site.LocalFolders[i]), 512);
  memoNotes->setPlainText(ToQ(JoinNotes(site.Notes)));
}

TSite TfrmManager::Site() const {
  TSite site;
  site.Name = ToStd(FCurrentSite);
  site.Host = ToStd(editHost->text());
  site.Anonymous = cbAnonymous->isChecked();
  site.User = ToStd(editUser->text());
  site.Password = ToStd(editPassword->text());
  site.HostFolder = ToStd(editHostFolder->text());
  bool ok = false;
  int port = editPort->text().trimmed().toInt(&ok);
  site.Port = ok ? port : DefaultPort;
  site.Firewall = cbFirewall->isChecked();
  site.CharacterSet = CharacterSetOf(cmboCharacterSet);
  site.Encryption = cmboEncryption->currentIndex();
  for (std::size_t i = 0; i < editLocalFolder.size(); ++i) site.LocalFolders[i] = ToStd(editLocalFolder[i]->text());
  site.Notes = SplitNotes(ToStd(memoNotes->toPlainText()));
  return site;
}

QString TfrmManager::PortText() const { return editPort->text(); }

void TfrmManager::SelectSite(const QString& name) {
  FUpdating = true;
  cmboSite->setCurrentIndex(cmboSite->findText(name, Qt::MatchFixedString));
  FUpdating = false;
  FCurrentSite = cmboSite->currentText();
}

void TfrmManager::cmboSiteEdited(const QString& text) {
  if (FUpdating) return;
  FCurrentSite = text.trimmed();
  // A name being typed that is no site yet keeps what was entered in the other fields.
  if (!FCurrentSite.isEmpty() && cmboSite->findText(FCurrentSite, Qt::MatchFixedString) >= 0) LoadSite();
}

void TfrmManager::cbAnonymousClick() {
  if (cbAnonymous->isChecked()) {
    editUser->setText(ToQ(std::string(AnonymousUser)));
    editPassword->setEchoMode(QLineEdit::Normal);
    SetFieldText(editPassword, ToQ(FPrefs.EMail), 512);
  } else {
    editPassword->setEchoMode(QLineEdit::Password);
  }
}

void TfrmManager::btnNewClick() {
  pgctrlSites->setCurrentWidget(tabGeneral);
  cmboSite->setFocus();
  ClearFields();
}

void TfrmManager::ClearFields() {
  FUpdating = true;
  cmboSite->setCurrentIndex(-1);
  cmboSite->setEditText(QString());
  FUpdating = false;
  FCurrentSite.clear();
  TSite blank;
  blank.User.clear();
  blank.LocalFolders[0] = FPrefs.DefaultDir;
  blank.Firewall = cbFirewall->isChecked();  // not part of a new site's reset
  ShowSite(blank);
}

void TfrmManager::SaveSite() {
  if (FCurrentSite.isEmpty()) return;
  if (cmboSite->findText(FCurrentSite, Qt::MatchFixedString) < 0) {
    int at = 0;
    while (at < cmboSite->count() && QString::compare(cmboSite->itemText(at), FCurrentSite, Qt::CaseInsensitive) < 0)
      ++at;
    FUpdating = true;
    cmboSite->insertItem(at, FCurrentSite);
    FUpdating = false;
  }
  SelectSite(FCurrentSite);
  btnDelete->setEnabled(true);

  std::vector<std::string> names;
  for (int i = 0; i < cmboSite->count(); ++i) names.push_back(ToStd(cmboSite->itemText(i)));
  FSites.WriteNames(names, ToStd(FCurrentSite));
  // A port that is not a number would leave the site half written; it is the default port.
  bool ok = false;
  editPort->text().trimmed().toInt(&ok);
  if (!ok) editPort->setText(QString::number(DefaultPort));
  FSites.WriteSite(Site());

  if (PredefinedActive()) {
    TPredefinedSite site;
    site.Caption = ToStd(pgctrlSites->tabText(pgctrlSites->indexOf(tabPredefined)));
    site.Host = ToStd(editDevHost->text());
    site.Anonymous = cbDevAnonymous->isChecked();
    site.User = ToStd(editDevUser->text());
    site.Password = ToStd(editDevPassword->text());
    WritePredefinedSite(FContext.PredefinedFolder, site);
  }
}

void TfrmManager::btnApplyClick() {
  if (!cmboSite->currentText().trimmed().isEmpty()) SaveSite();
}

void TfrmManager::btnDeleteClick() {
  int index = cmboSite->findText(FCurrentSite, Qt::MatchFixedString);
  // Only a site of the list can be deleted; a name being typed is none yet.
  if (FCurrentSite.isEmpty() || index < 0) return;
  QString name = cmboSite->itemText(index);
  QByteArray utf8 = name.toUtf8();
  if (!AskYesNo(this, QString::asprintf("Are you sure you want to delete the %s site?", utf8.constData()))) return;

  std::vector<std::string> remaining;
  for (int i = 0; i < cmboSite->count(); ++i)
    if (i != index) remaining.push_back(ToStd(cmboSite->itemText(i)));
  FSites.DeleteSite(ToStd(name), remaining);
  FUpdating = true;
  cmboSite->removeItem(index);
  FUpdating = false;
  if (cmboSite->count() == 0) {
    btnNewClick();
    btnDelete->setEnabled(false);
    return;
  }
  SelectSite(cmboSite->itemText(0));
  LoadSite();
}

void TfrmManager::btnOKClick() {
  if (PredefinedActive()) CopyPredefined();
  if (editHost->text().isEmpty()) {
    ShowMessage(this, "Host field cannot be empty", QMessageBox::Warning);
    return;
  }
  if (editUser->text().isEmpty()) {
    ShowMessage(this, "UserID field cannot be empty", QMessageBox::Warning);
    return;
  }
  if (cbAnonymous->isChecked() && !editPassword->text().isEmpty() && FPrefs.EMail.empty())
    FPrefs.EMail = ToStd(editPassword->text());
  SaveSite();
  accept();
}

void TfrmManager::btnBrowseClick(int index) {
  QFileDialog dialog(this, "Select a directory", editLocalFolder[0]->text());
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  if (RunModal(dialog) != QDialog::Accepted) return;
  QStringList chosen = dialog.selectedFiles();
  if (!chosen.isEmpty() && !chosen.front().isEmpty()) SetFieldText(editLocalFolder[index], chosen.front(), 512);
}

}  // namespace ferrowin
