#include "URLForm.h"

#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "Help.h"
#include "Options.h"
#include "OptionsWidgets.h"
#include "Prompts.h"
#include "TlsSession.h"

namespace ferrowin {

namespace {

bool IsAnonymous(const QString& user) { return user.compare(QLatin1String("anonymous"), Qt::CaseInsensitive) == 0; }
bool IsAnonymous(const std::string& user) { return IsAnonymous(QString::fromStdString(user)); }
bool StartsWith(const QString& text, const char* prefix) {
  return text.startsWith(QLatin1String(prefix), Qt::CaseInsensitive);
}

// Sets a field's text without losing its caret when the text stays the same.
void SetText(QLineEdit* edit, const QString& text) {
  if (edit->text() != text) edit->setText(text);
}

}  // namespace

void AddRecentURL(std::vector<std::string>& urls, const std::string& url) {
  urls.erase(std::remove(urls.begin(), urls.end(), url), urls.end());
  urls.insert(urls.begin(), url);
  if (urls.size() > MaxRecentURLs) urls.resize(MaxRecentURLs);
}

TSite SiteOfURL(const TURLParts& parts) {
  TSite site;
  site.Host = parts.Host;
  site.Port = static_cast<int>(parts.Port);
  site.User = parts.User;
  site.Password = parts.Password;
  site.HostFolder = parts.Folder;
  if (parts.ImplicitTls) site.Encryption = static_cast<int>(TEncryption::Implicit);
  return site;
}

TfrmURL::TfrmURL(std::vector<std::string>& recentURLs, QWidget* parent) : QDialog(parent), Recent(recentURLs) {
  setWindowTitle("Connection to URL");
  SetHelpContext(this, URLHelpContext);
  auto* layout = new QVBoxLayout(this);
  auto* urlRow = new QHBoxLayout;
  cmboURL = new QComboBox(this);
  cmboURL->setEditable(true);
  cmboURL->setInsertPolicy(QComboBox::NoInsert);
  cmboURL->lineEdit()->setMaxLength(512);
  cmboURL->setMinimumWidth(fontMetrics().averageCharWidth() * 56);
  for (const std::string& url : Recent) cmboURL->addItem(QString::fromStdString(url));
  cmboURL->setEditText({});
  auto* lblURL = new QLabel("URL:", this);
  lblURL->setBuddy(cmboURL);
  urlRow->addWidget(lblURL);
  urlRow->addWidget(cmboURL, 1);
  layout->addLayout(urlRow);
  layout->addWidget(NewPropertiesGroup());

  const TDialogButtons buttons = AddDialogButtons(this, layout, [this] { btnOKClick(); }, [this] {
    if (OnHelp) OnHelp(URLHelpContext);
  });
  btnOK = buttons.OK;
  btnCancel = buttons.Cancel;
  btnHelp = buttons.Help;
  btnOK->setEnabled(false);

  connect(cmboURL, &QComboBox::editTextChanged, this, [this] {
    if (!Updating) cmboURLChange();
  });
  for (QLineEdit* field : {editUser, editPassword, editHost, editPort, editFolder, editFile})
    connect(field, &QLineEdit::textChanged, this, [this, field] { FieldChange(field); });
  for (QRadioButton* radio : {rbFTP, rbFTPAnonymous, rbHTTP})
    connect(radio, &QRadioButton::clicked, this, [this] { RadioClick(); });
  connect(cmboEncryption, &QComboBox::activated, this, [this] { cmboEncryptionChange(); });
}

QWidget* TfrmURL::NewPropertiesGroup() {
  gbProperties = new QGroupBox("URL's Properties", this);
  auto* grid = new QGridLayout(gbProperties);
  grid->addWidget(new QLabel("Type of URL:", gbProperties), 0, 0);
  auto* types = new QHBoxLayout;
  rbFTP = new QRadioButton("FTP", gbProperties);
  rbFTPAnonymous = new QRadioButton("FTP anonymous", gbProperties);
  rbHTTP = new QRadioButton("HTTP", gbProperties);
  rbFTP->setChecked(true);
  for (QRadioButton* radio : {rbFTP, rbFTPAnonymous, rbHTTP}) types->addWidget(radio);
  types->addStretch();
  grid->addLayout(types, 0, 1, 1, 3);
  Updating = true;  // nothing to assemble while the fields are made
  editUser = AddField(grid, 1, 0, "User Name:", 256);
  editPassword = AddField(grid, 1, 2, "Password:", 256);
  editHost = AddField(grid, 2, 0, "Host:", 512);
  editPort = AddField(grid, 2, 2, "Port", 512);
  editFolder = AddField(grid, 3, 0, "Folder:", 512);
  editFile = AddField(grid, 4, 0, "File:", 512);
  editPort->setText(QStringLiteral("21"));
  auto* lblEncryption = new QLabel("Encryption:", gbProperties);
  cmboEncryption = new QComboBox(gbProperties);
  cmboEncryption->addItems({"Plain FTP", "Require explicit TLS", "Implicit TLS", "Use TLS if offered"});
  lblEncryption->setBuddy(cmboEncryption);
  grid->addWidget(lblEncryption, 5, 0);
  grid->addWidget(cmboEncryption, 5, 1);
  Updating = false;
  editPort->setMaximumWidth(fontMetrics().averageCharWidth() * 10);
  grid->setAlignment(editPort, Qt::AlignLeft);
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(3, 1);
  return gbProperties;
}

QLineEdit* TfrmURL::AddField(QGridLayout* grid, int row, int column, const char* caption, int maxLength) {
  auto* label = new QLabel(caption, gbProperties);
  auto* edit = new QLineEdit(gbProperties);
  edit->setMaxLength(maxLength);
  label->setBuddy(edit);
  grid->addWidget(label, row, column);
  // Folder and file take the whole row.
  grid->addWidget(edit, row, column + 1, 1, column == 0 && row >= 3 ? 3 : 1);
  return edit;
}

TURLType TfrmURL::Type() const {
  if (rbHTTP->isChecked()) return TURLType::HTTP;
  return rbFTPAnonymous->isChecked() ? TURLType::FTPAnonymous : TURLType::FTP;
}

QString TfrmURL::URL() const { return cmboURL->currentText(); }

TEncryption TfrmURL::Encryption() const { return static_cast<TEncryption>(cmboEncryption->currentIndex()); }

TSite TfrmURL::Site() const {
  TSite site = SiteOfURL(URLParts);
  site.Encryption = static_cast<int>(Encryption());
  return site;
}

void TfrmURL::EmptyAnonymousCredentials() {
  if ((rbFTP->isChecked() || rbHTTP->isChecked()) && IsAnonymous(editUser->text())) {
    editUser->clear();
    editPassword->clear();
  }
}

// The type buttons follow the scheme of the URL typed so far.
void TfrmURL::CheckTypeFromText(const QString& url, bool emptyAnonymous) {
  if (StartsWith(url, "http")) rbHTTP->setChecked(true);
  else if (StartsWith(url, "ftp")) (IsAnonymous(editUser->text()) ? rbFTPAnonymous : rbFTP)->setChecked(true);
  if (emptyAnonymous) EmptyAnonymousCredentials();
}

QString TfrmURL::AssembleURL() {
  const bool http = rbHTTP->isChecked();
  const bool implicit = !http && Encryption() == TEncryption::Implicit;
  QString url;
  const QString user = editUser->text();
  if (!rbFTPAnonymous->isChecked() && !user.isEmpty() && !(http && IsAnonymous(user)))
    url = user + QLatin1Char(':') + editPassword->text() + QLatin1Char('@');

  QString host = editHost->text().trimmed();
  const qsizetype slash = host.indexOf(QLatin1Char('/'));
  if (slash >= 0) {
    editFolder->setText(host.mid(slash) + editFolder->text());
    host.truncate(slash);
    editHost->setText(host);
  }
  url += host;

  QString port = editPort->text().trimmed();
  if (!port.isEmpty()) {
    if (http && port == QLatin1String("21")) {
      port = QStringLiteral("80");
      editPort->setText(port);
    }
    if (port != QLatin1String(http ? "80" : implicit ? "990" : "21")) url += QLatin1Char(':') + port;
  }

  QString folder = editFolder->text();
  while (folder.size() >= 2 && folder.startsWith(QLatin1String("//"))) folder.remove(0, 1);
  if (folder == QLatin1String("/")) {
    url += QLatin1Char('/');
  } else if (!folder.isEmpty()) {
    qsizetype start = 0;
    while (start < folder.size() && folder[start] == QLatin1Char('/')) ++start;
    url += QLatin1Char('/') + folder.mid(start);
  }

  const QString file = editFile->text();
  if (!file.isEmpty()) {
    if (!url.endsWith(QLatin1Char('/'))) url += QLatin1Char('/');
    url += file;
  }
  return QLatin1String(http ? "http://" : implicit ? "ftps://" : "ftp://") + url;
}

void TfrmURL::FieldChange(QLineEdit* field) {
  if (Updating) return;
  const int caret = field ? field->cursorPosition() : 0;
  Updating = true;
  if (field) CheckTypeFromText(cmboURL->currentText(), true);
  cmboURL->setEditText(AssembleURL());
  cmboURLChange(field == nullptr);
  if (field) field->setCursorPosition(caret);
  Updating = false;
}

void TfrmURL::RadioClick() {
  if (Updating) return;
  Updating = true;
  if (rbFTPAnonymous->isChecked()) {
    editUser->setText(QStringLiteral("anonymous"));
    editPassword->setText(QString::fromStdString(DefaultPassword));
  } else if (rbFTP->isChecked() && IsAnonymous(editUser->text())) {
    editUser->clear();
    editPassword->clear();
  }
  Updating = false;
  FieldChange(nullptr);
}

// Implicit TLS is the ftps scheme, with a port of its own: the URL follows the choice, and
// the port too while it is the other choice's default.
void TfrmURL::cmboEncryptionChange() {
  if (Updating) return;
  const bool implicit = Encryption() == TEncryption::Implicit;
  Updating = true;
  if (editPort->text() == QLatin1String(implicit ? "21" : "990")) editPort->setText(implicit ? "990" : "21");
  cmboURL->setEditText(AssembleURL());
  cmboURLChange();
  Updating = false;
}

void TfrmURL::cmboURLChange(bool fromRadio) {
  const QString text = cmboURL->currentText();
  ParseOK = ParseURL(text.toStdString(), DefaultPassword, URLParts);
  if (ParseOK) {
    TURLParts& p = URLParts;
    if (fromRadio && (rbHTTP->isChecked() || rbFTP->isChecked())) {
      p.User.clear();
      p.Password.clear();
    } else if (StartsWith(text, "http")) {
      rbHTTP->setChecked(true);
      if (IsAnonymous(p.User)) p.User.clear(), p.Password.clear();
    } else if (StartsWith(text, "ftp")) {
      (IsAnonymous(p.User) ? rbFTPAnonymous : rbFTP)->setChecked(true);
    }
    // An ftps URL is implicit TLS; a plain ftp one cannot be, but keeps an explicit choice.
    if (p.ImplicitTls) cmboEncryption->setCurrentIndex(static_cast<int>(TEncryption::Implicit));
    else if (Encryption() == TEncryption::Implicit) cmboEncryption->setCurrentIndex(static_cast<int>(TEncryption::Plain));
    FillFields();
  }
  cmboEncryption->setEnabled(!rbHTTP->isChecked());
  btnOK->setEnabled(ParseOK && !URLParts.Host.empty());
}

void TfrmURL::FillFields() {
  const bool updating = Updating;
  Updating = true;
  SetText(editUser, QString::fromStdString(URLParts.User));
  SetText(editPassword, QString::fromStdString(URLParts.Password));
  SetText(editHost, QString::fromStdString(URLParts.Host));
  SetText(editPort, QString::number(URLParts.Port));
  SetText(editFolder, QString::fromStdString(URLParts.Folder));
  SetText(editFile, QString::fromStdString(URLParts.FileName));
  Updating = updating;
}

void TfrmURL::btnOKClick() {
  std::vector<std::string> urls;
  for (int i = 0; i < cmboURL->count(); ++i) urls.push_back(cmboURL->itemText(i).toStdString());
  AddRecentURL(urls, URL().toStdString());
  Recent = std::move(urls);
  if (Type() == TURLType::HTTP) {
    hide();
    AskSavePath();
  }
  accept();
}

void TfrmURL::AskSavePath() {
  QFileDialog save(parentWidget(), QString(), LocalFolder, QStringLiteral("All Files (*)"));
  save.setAcceptMode(QFileDialog::AcceptSave);
  save.setFileMode(QFileDialog::AnyFile);
  save.selectFile(QString::fromStdString(URLParts.FileName));
  SaveTo.clear();
  if (RunModal(save) == QDialog::Accepted && !save.selectedFiles().isEmpty()) SaveTo = save.selectedFiles().front();
}

void TfrmURL::done(int result) {
  if (result != QDialog::Accepted) {
    ParseOK = false;
    URLParts = TURLParts{};
  }
  QDialog::done(result);
}

}  // namespace ferrowin
