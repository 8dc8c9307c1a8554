// The main window's side of the internal viewer: showing and hiding it over the log, the
// page it opens with, previews that follow the lists, and the log splitter's drag.

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QLayout>
#include <QListView>
#include <QMouseEvent>
#include <QMovie>
#include <QSplitter>
#include <QTreeView>
#include <QUrl>

#include "FTPComp.h"
#include "HostView.h"
#include "LogControl.h"
#include "LoclView.h"
#include "Main.h"
#include "Viewer.h"

namespace ferrowin {
namespace {

bool HasFocus(const TListControl* list) {
  const QWidget* focus = QApplication::focusWidget();
  return list && focus && (focus == list || list->isAncestorOf(focus));
}

// The press and release of the log splitter's handle.
class TPressWatcher : public QObject {
 public:
  TPressWatcher(QObject* watched, std::function<void(bool pressed)> onPress)
      : QObject(watched), OnPress(std::move(onPress)) {
    watched->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonPress) OnPress(true);
    if (event->type() == QEvent::MouseButtonRelease) OnPress(false);
    return false;
  }

 private:
  std::function<void(bool pressed)> OnPress;
};

}  // namespace

TViewer* TfrmMain::Viewer() const { return Browser; }

void TfrmMain::CreateViewer(bool hidden) {
  if (Browser) return;
  Browser = new TViewer(pnlViewer);
  pnlViewer->layout()->addWidget(Browser);
  Browser->OnDownloadBegin = [this] {
    if (Activity && Activity->isValid()) Activity->start();
  };
  Browser->OnDownloadComplete = [this] {
    if (THostView* view = CurrentHostView()) HostViewEvent(*view, hsStatus, view->ListView()->SelCount());
  };
  Browser->OnError = [this](const QString& message) { AppException(message); };
  Browser->OnPrepareConnection = [this](TFTPComponent& c) {
    c.SetPassive(Prefs.UsePASV);
    // A page of the current host's server goes the way its browsing connection went.
    THostView* view = CurrentHostView();
    if (!view || view->FTP().Host() != c.Host() || view->FTP().Port != c.Port) return false;
    const TFTPComponent& browsing = view->FTP();
    c.Account = browsing.Account;
    c.FirewallKind = browsing.FirewallKind;
    c.FirewallHost = browsing.FirewallHost;
    c.FirewallPort = browsing.FirewallPort;
    c.FirewallUser = browsing.FirewallUser;
    c.FirewallPassword = browsing.FirewallPassword;
    return view->UseFirewall && Prefs.FirewallEnabled;
  };
  new TPressWatcher(MainSplitter->handle(1), [this](bool pressed) {
    // No preview while the area is being sized: each step would reload the page.
    if (Browser) Browser->Suppressed = pressed && !pnlViewer->isHidden();
  });
  if (hidden) pnlViewer->hide();
}

void TfrmMain::ReleaseViewer() {
  if (!Browser) return;
  Browser->Stop();
  delete Browser.data();
}

void TfrmMain::StopViewer() {
  if (Browser) Browser->Stop();
}

// The focused host item when the host list has the focus and a selection, else the focused
// local file when the local list has the focus; empty when neither.
QString TfrmMain::ChosenPage(std::int64_t& size) const {
  THostView* host = CurrentHostView();
  TLocalView* local = CurrentLocalView();
  if (host && host->ListView()->SelCount() > 0 && HasFocus(host->ListView())) {
    const int item = host->ListView()->Focused();
    size = host->GetItemSize(item);
    return QString::fromStdString(host->ItemURL(item));
  }
  if (local && HasFocus(local->ListView())) {
    const QString path = QString::fromStdString(local->GetItemPath(local->ListView()->Focused()));
    if (!path.isEmpty() && QFileInfo(path).isFile()) return QUrl::fromLocalFile(path).toString();
  }
  return {};
}

void TfrmMain::btnExplorerClick(bool shown) {
  CreateViewer(true);
  mnuShowViewer->setChecked(shown);
  if (shown && LogArea && !LogArea->LogShown()) btnShowLog->setChecked(true);  // the viewer needs the area open
  ApplyLogHeight();
  if (!shown) return;
  if (QFileInfo::exists(ViewerStartPage)) {
    Browser->Stop();
    std::int64_t size = -1;
    const QString page = ChosenPage(size);
    if (!page.isEmpty() && InPreviewList(QUrl(page).path().toStdString())) Browser->Navigate(page, size);
    else Browser->Navigate(QUrl::fromLocalFile(ViewerStartPage).toString());
  }
  for (TCustomView* view : {static_cast<TCustomView*>(CurrentLocalView()), static_cast<TCustomView*>(CurrentHostView())})
    if (view && HasFocus(view->ListView())) PreviewSelected(view->ListView());
}

void TfrmMain::PreviewSelected(TListControl* list) {
  if (!Browser || !btnExplorer->isChecked() || Browser->Suppressed || !list) return;
  TLocalView* local = CurrentLocalView();
  THostView* host = CurrentHostView();
  TCustomView* view = local && list == local->ListView() ? static_cast<TCustomView*>(local)
                      : host && list == host->ListView() ? static_cast<TCustomView*>(host)
                                                         : nullptr;
  const int item = list->Focused();
  if (!view || item < 0 || view->ItemIsFolder(item) || !InPreviewList(view->GetItemName(item))) return;
  if (view == host && list->SelCount() == 0) return;
  QString page;
  if (view == host) page = QString::fromStdString(host->ItemURL(item));
  else if (QFileInfo(QString::fromStdString(local->GetItemPath(item))).isFile())
    page = QUrl::fromLocalFile(QString::fromStdString(local->GetItemPath(item))).toString();
  Browser->Suppressed = true;
  if (!page.isEmpty()) Browser->Navigate(page, view == host ? host->GetItemSize(item) : -1);
  if (list->isVisible()) list->CurrentView()->setFocus();
  Browser->Suppressed = false;
}

void TfrmMain::WatchPreview(TCustomView& view) {
  view.OnFileChanging = [this](TCustomView&, const std::string&) { StopViewer(); };
  TListControl* list = view.ListView();
  if (list->property("ferrowinPreview").toBool()) return;  // tabs subscribe again on each change
  list->setProperty("ferrowinPreview", true);
  auto preview = [this, list] { PreviewSelected(list); };
  connect(list->Selection(), &QItemSelectionModel::selectionChanged, list, preview);
  connect(list->IconView(), &QAbstractItemView::clicked, list, preview);
  connect(list->ReportView(), &QAbstractItemView::clicked, list, preview);
}

}  // namespace ferrowin
