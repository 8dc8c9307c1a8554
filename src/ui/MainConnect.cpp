// Asking for connections: from the site manager, from a recent site, by cloning the current
// tab; and disconnect and stop.

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <QTabWidget>

#include "FTPUtils.h"
#include "Help.h"
#include "HostView.h"
#include "LoclView.h"
#include "Main.h"
#include "PasswordForm.h"
#include "Prompts.h"
#include "URLForm.h"

namespace ferrowin {
namespace {
// The site a view was connected from, for saving a password typed after a refusal.
constexpr const char* SiteNameProperty = "ferrowinSiteName";
}  // namespace

void TfrmMain::btnConnectClick() {
  TManagerContext context;
  context.SitesFile = SitesFile;
  context.OnHelp = [](int topic) { ShowHelp(topic); };
  TfrmManager manager(Prefs, context, this);
  if (RunModal(manager) != QDialog::Accepted) return;
  TSite site = manager.Site();
  if (site.Name.empty()) site.Name = manager.CurrentSite().toStdString();
  ConnectSite(site);
}

void TfrmMain::ConnectSite(const TSite& site, const std::string& files) {
  if (site.Host.empty()) return;
  THostView* view = CurrentHostView();
  if (view->Connected()) view = NewHostView();
  const std::string caption = site.Name.empty() ? site.Host : site.Name;
  SetHostCaption(*view, QString::fromStdString(caption));
  std::string password = site.Password;
  if (!AskSessionPassword(password, Prefs.PromptForPass, this)) return;
  for (std::size_t i = 0; i < site.LocalFolders.size(); ++i)
    if (!site.LocalFolders[i].empty()) OpenLocalFolder(site.LocalFolders[i], i == 0);
  view->UseFirewall = site.Firewall;
  view->FTP().Encryption = static_cast<TEncryption>(site.Encryption);
  view->setProperty(SiteNameProperty, QString::fromStdString(site.Name));
  view->FTP().SetCharacterSet(site.CharacterSet);
  view->ConnectHost(site.Host, site.Port > 0 ? site.Port : 21, files, site.HostFolder, "", password, site.User);
  if (!site.Name.empty()) AddLastConnection(site.Name);
}

bool TfrmMain::ConnectURL(const std::string& url) {
  TURLParts parts;
  if (!ParseURL(url, Prefs.EMail, parts) || parts.Host.empty()) {
    // The URL may hold a password: it is not repeated in the log.
    HostLog(this, "Cannot connect: the address given is not an ftp:// URL with a host", ErrorColor);
    return false;
  }
  ConnectSite(SiteOfURL(parts), parts.FileName);
  return true;
}

void TfrmMain::LoginRefused(THostView& view) {
  // No reply at all (no server, no route): the red log lines say why; nothing to ask.
  const std::string reason = view.LoginRefusal();
  if (reason.empty()) return;
  QPointer<THostView> alive(&view);
  TFTPComponent& ftp = view.FTP();
  ShowMessage(this,
              QStringLiteral("Could not log in to %1:\n%2").arg(QString::fromStdString(ftp.Host()), QString::fromStdString(reason)),
              QMessageBox::Warning);
  // Another password can help only with a definite refusal, not with "too many users".
  if (!alive || !Prefs.PromptForPass || view.Connected() || !ftp.LoginRefused()) return;
  const std::string site = view.property(SiteNameProperty).toString().toStdString();
  TdlgPassword dialog(this);
  dialog.AskAgain(QString::fromStdString(ftp.User), !site.empty());
  if (RunModal(dialog) != QDialog::Accepted || !alive || view.Connected()) return;
  const std::string password = dialog.Password().toStdString();
  const std::string user = dialog.User().toStdString();
  if (password.empty()) return;
  if (dialog.SavePassword()) {
    TSiteFile sites(SitesFile);
    TSite stored = sites.ReadSite(site, Prefs.EMail);
    stored.User = user;
    stored.Password = password;
    if (!sites.WriteSite(stored)) AppException(QStringLiteral("Cannot write the site file %1").arg(QString::fromStdString(SitesFile)));
  }
  view.ConnectHost(ftp.Host(), ftp.Port, "", view.GetFolder(), ftp.Account, password, user);
}

void TfrmMain::mnuLastConnectClick() {
  for (int slot = 0; slot < TLastConnections::Count; ++slot) {
    mnuLast[slot]->setText(QStringLiteral("&%1 %2").arg(slot + 1).arg(LastConnections[slot]));
    mnuLast[slot]->setVisible(!LastConnections[slot].isEmpty());
  }
}

void TfrmMain::mnuLast1Click(int slot) {
  const std::string name = LastConnections[slot].toStdString();
  if (name.empty()) return;
  TSiteFile sites(SitesFile);
  if (!sites.SiteExists(name)) {
    // Deleted in the site manager since: say so, and forget it.
    ShowMessage(this, QStringLiteral("The site \"%1\" no longer exists; it is removed from the last connections.")
                          .arg(QString::fromStdString(name)),
                QMessageBox::Warning);
    LastConnections.Remove(QString::fromStdString(name));
    mnuLastConnect->setEnabled(LastConnections.Any());
    return;
  }
  TSite site = sites.ReadSite(name, Prefs.EMail);
  site.Name = name;
  ConnectSite(site);
}

void TfrmMain::btnHostNewClick() {
  THostView* old = CurrentHostView();
  if (!old || !old->Connected()) {
    NewHostView();
    btnConnectClick();
    return;
  }
  TFTPComponent& ftp = old->FTP();
  const std::string host = ftp.Host(), user = ftp.User, password = ftp.Password, account = ftp.Account;
  const int port = ftp.Port;
  const std::string folder = old->GetFolder();
  const QString caption = pgctrlHost->tabText(pgctrlHost->currentIndex());
  const bool firewall = old->UseFirewall;
  THostView* view = NewHostView();
  SetHostCaption(*view, caption);
  view->UseFirewall = firewall;
  view->FTP().SetCharacterSet(ftp.CharacterSet());
  view->FTP().Encryption = ftp.Encryption;
  view->ConnectHost(host, port, "", folder, account, password, user);
}

void TfrmMain::btnDisconnectClick() {
  if (THostView* view = CurrentHostView()) view->Disconnect();
}

void TfrmMain::btnStopClick() {
  StopViewer();
  if (THostView* view = CurrentHostView()) view->Stop();
}

}  // namespace ferrowin
