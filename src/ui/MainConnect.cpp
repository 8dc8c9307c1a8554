// Asking for connections: from the site manager, from a recent site, by cloning the current
// tab; and disconnect and stop.

#include <QAction>
#include <QMenu>
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

void TfrmMain::mnuLastConnectClick() {
  for (int slot = 0; slot < TLastConnections::Count; ++slot) {
    mnuLast[slot]->setText(QStringLiteral("&%1 %2").arg(slot + 1).arg(LastConnections[slot]));
    mnuLast[slot]->setVisible(!LastConnections[slot].isEmpty());
  }
}

void TfrmMain::mnuLast1Click(int slot) {
  const std::string name = LastConnections[slot].toStdString();
  if (name.empty()) return;
  TSite site = TSiteFile(SitesFile).ReadSite(name, Prefs.EMail);
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
  THostView* view = NewHostView();
  SetHostCaption(*view, caption);
  view->ConnectHost(host, port, "", folder, account, password, user);
}

void TfrmMain::btnDisconnectClick() {
  if (THostView* view = CurrentHostView()) view->Disconnect();
}

void TfrmMain::btnStopClick() {
  if (THostView* view = CurrentHostView()) view->Stop();
}

}  // namespace ferrowin
