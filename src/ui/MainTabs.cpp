// Host and local tabs: making, switching and closing them, and what the main window does
// when a host view reports a change of state.

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMovie>
#include <QPointer>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "BatchRun.h"
#include "HostView.h"
#include "LogControl.h"
#include "LoclView.h"
#include "Main.h"
#include "MainAutomation.h"
#include "SoundPlayer.h"
#include "Viewer.h"

namespace ferrowin {
namespace {

QWidget* NewSheet(QTabWidget* tabs) {
  auto* sheet = new QWidget(tabs);
  auto* layout = new QVBoxLayout(sheet);
  layout->setContentsMargins(0, 0, 0, 0);
  return sheet;
}

template <typename TView>
TView* ViewOn(QTabWidget* tabs, int index) {
  QWidget* sheet = tabs->widget(index);
  return sheet ? sheet->findChild<TView*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

QString FolderDisplayName(const std::string& folder) {
  QString name = QDir(QString::fromStdString(folder)).dirName();
  return name.isEmpty() ? QStringLiteral("/") : name;
}

}  // namespace

THostView* TfrmMain::HostViewAt(int index) const { return ViewOn<THostView>(pgctrlHost, index); }
TLocalView* TfrmMain::LocalViewAt(int index) const { return ViewOn<TLocalView>(pgctrlLocal, index); }
THostView* TfrmMain::CurrentHostView() const { return HostViewAt(pgctrlHost->currentIndex()); }
TLocalView* TfrmMain::CurrentLocalView() const { return LocalViewAt(pgctrlLocal->currentIndex()); }

int TfrmMain::IndexOfHostView(const THostView& view) const {
  for (int i = 0; i < pgctrlHost->count(); ++i)
    if (HostViewAt(i) == &view) return i;
  return -1;
}

void TfrmMain::SubscribeHostView(THostView& view) {
  view.OnLog = [this](THostView& sender, const std::string& text, TColor color) { HostLog(&sender, text, color); };
  view.OnUpdateState = [this](TCustomView& sender, int code, int count) {
    HostViewEvent(static_cast<THostView&>(sender), code, count);
  };
  view.OnTransfer = [this](TCustomView&, TCustomView*& destination) { destination = CurrentLocalView(); };
  view.OnPerformDoubleClick = [this](TCustomView& sender, int) { HostDblClick(static_cast<THostView&>(sender)); };
  view.OnTransferred = [this](THostView& sender, const std::vector<std::string>& files, int reason) {
    HostFilesReady(sender, files, reason);
  };
  view.ListView()->PopupMenu = popHost;
  WatchSelection(view);
  WatchPreview(view);
}

void TfrmMain::SubscribeLocalView(TLocalView& view) {
  view.OnFolderChanged = [this](QObject&) { LocalFolderChanged(); };
  view.OnUpdateState = [this](TCustomView& sender, int, int count) {
    LocalSelectionChanged(static_cast<TLocalView&>(sender), count);
  };
  view.OnPerformDoubleClick = [this](TCustomView& sender, int item) {
    LocalDblClick(static_cast<TLocalView&>(sender), item);
  };
  view.ListView()->PopupMenu = PopLocal;
  WatchSelection(view);
  WatchPreview(view);
}

THostView* TfrmMain::NewHostView() {
  QWidget* sheet = NewSheet(pgctrlHost);
  SaveColumnWidths(TSide::Host);
  auto* view = new THostView(sheet, &Prefs);
  memoLog->Clear();
  view->FTP().SetPassive(Prefs.UsePASV);
  SubscribeHostView(*view);
  view->ListView()->SetViewStyle(static_cast<TViewStyle>(HostStyle & 3));
  const QSignalBlocker quiet(pgctrlHost);  // the change handler runs once, below
  pgctrlHost->addTab(sheet, QStringLiteral("Disconnected"));
  pgctrlHost->setCurrentWidget(sheet);
  pgctrlHostChange();
  LoadColumnWidths(TSide::Host);
  btnHostClose->setEnabled(pgctrlHost->count() > 1);
  return view;
}

TLocalView* TfrmMain::AddLocalTab(const std::string& folder) {
  SaveColumnWidths(TSide::Local);
  QWidget* sheet = NewSheet(pgctrlLocal);
  auto* view = new TLocalView(sheet);
  SubscribeLocalView(*view);
  view->ListView()->SetViewStyle(static_cast<TViewStyle>(LocalStyle & 3));
  if (!folder.empty()) view->ChangeFolder(folder);
  const QSignalBlocker quiet(pgctrlLocal);
  pgctrlLocal->addTab(sheet, FolderDisplayName(view->GetFolder()));
  LoadColumnWidths(TSide::Local, view);  // the new view's, not the current one's
  btnLocalClose->setEnabled(pgctrlLocal->count() > 1);
  return view;
}

TLocalView* TfrmMain::NewLocalView() {
  TLocalView* current = CurrentLocalView();
  std::string folder = current ? current->GetFolder() : QDir::currentPath().toStdString();
  TLocalView* view = AddLocalTab(folder);
  pgctrlLocal->setCurrentIndex(pgctrlLocal->count() - 1);
  pgctrlLocalChange();
  return view;
}

bool TfrmMain::OpenLocalFolder(const std::string& folder, bool activate) {
  QFileInfo info(QString::fromStdString(folder));
  if (folder.empty() || !info.isDir()) return false;  // the shell cannot resolve it
  const std::string path = info.canonicalFilePath().toStdString();
  auto shows = [&](TLocalView* view) {
    return view && QFileInfo(QString::fromStdString(view->GetFolder())).canonicalFilePath().toStdString() == path;
  };
  if (activate && CurrentLocalView() && !shows(CurrentLocalView())) {
    CurrentLocalView()->ChangeFolder(path);
    LocalFolderChanged();
    return true;
  }
  int found = -1;
  for (int i = 0; i < pgctrlLocal->count() && found < 0; ++i)
    if (shows(LocalViewAt(i))) found = i;
  if (found < 0) {
    AddLocalTab(path);
    found = pgctrlLocal->count() - 1;
  }
  if (activate) {
    pgctrlLocal->setCurrentIndex(found);
    pgctrlLocalChange();
  }
  return true;
}

void TfrmMain::LocalFolderChanged() {
  if (TLocalView* view = CurrentLocalView()) {
    pgctrlLocal->setTabText(pgctrlLocal->currentIndex(), FolderDisplayName(view->GetFolder()));
    UpdateLocalCommands(view->ListView()->SelCount());
  }
}

void TfrmMain::PairStatusBars() {
  TLocalView* local = CurrentLocalView();
  THostView* host = CurrentHostView();
  if (!local || !host) return;
  local->StatusBar()->SetNeighbour(host->StatusBar());
  host->StatusBar()->SetNeighbour(local->StatusBar());
}

void TfrmMain::pgctrlLocalChange() {
  TLocalView* view = CurrentLocalView();
  if (!view) return;
  PairStatusBars();
  SubscribeLocalView(*view);
  view->ListView()->SetViewStyle(static_cast<TViewStyle>(LocalStyle & 3));
  LocalFolderChanged();
  UpdateTransferButtons();
}

void TfrmMain::pgctrlHostChange() {
  for (int i = 0; i < pgctrlHost->count(); ++i)
    if (THostView* other = HostViewAt(i); other && other->TreeCombo() == cmboHostTree && i != pgctrlHost->currentIndex())
      other->SetTreeCombo(nullptr);
  THostView* view = CurrentHostView();
  if (!view) return;
  PairStatusBars();
  UpdateWindowCaption();
  HostStyle = static_cast<int>(view->ListView()->ViewStyle());  // the side remembers the style shown
  view->SetTreeCombo(cmboHostTree);
  view->RebuildTree();  // the drop-down holds this tab's folders only
  std::vector<TLogLine> lines;
  for (const auto& entry : view->LogEntries()) lines.push_back({QString::fromStdString(entry.Message), entry.Color});
  memoLog->Refill(lines);
  PlaceBusyPanel();
  HostViewEvent(*view, hsStatus, view->ListView()->SelCount());
  btnHostClose->setEnabled(pgctrlHost->count() > 1);
}

void TfrmMain::btnHostCloseClick() {
  if (pgctrlHost->count() < 2) return;
  const int i = pgctrlHost->currentIndex();
  QWidget* sheet = pgctrlHost->widget(i);
  THostView* view = HostViewAt(i);
  lblBusy->hide();
  {
    const QSignalBlocker quiet(pgctrlHost);
    pgctrlHost->removeTab(i);
    if (view) {
      // Its disconnection will not be heard any more: it stops counting now.
      if (view->FTP().LoggedIn()) {
        ConnectedCount = std::max(ConnectedCount - 1, 0);
        cmboHostTree->setEnabled(ConnectedCount > 0);
      }
      view->OnLog = nullptr;
      view->OnUpdateState = nullptr;
      view->OnTransfer = nullptr;
      view->SetTreeCombo(nullptr);
      view->ListView()->ClearHandlers();
    }
    pgctrlHost->setCurrentIndex(i > 0 ? i - 1 : 0);
  }
  pgctrlHostChange();
  sheet->deleteLater();  // the view goes with its tab, and its connection with it
}

void TfrmMain::btnLocalNewClick() { NewLocalView(); }

void TfrmMain::btnLocalCloseClick() {
  if (pgctrlLocal->count() < 2) return;
  const int i = pgctrlLocal->currentIndex();
  QWidget* sheet = pgctrlLocal->widget(i);
  {
    const QSignalBlocker quiet(pgctrlLocal);
    pgctrlLocal->removeTab(i);
    pgctrlLocal->setCurrentIndex(i > 0 ? i - 1 : pgctrlLocal->count() - 1);
  }
  sheet->deleteLater();
  pgctrlLocalChange();
  btnLocalClose->setEnabled(pgctrlLocal->count() > 1);
}

void TfrmMain::SetHostCaption(THostView& view, const QString& caption) {
  const int index = IndexOfHostView(view);
  if (index >= 0) pgctrlHost->setTabText(index, caption);
  if (&view == CurrentHostView()) UpdateWindowCaption();
}

void TfrmMain::UpdateWindowCaption() {
  setWindowTitle(QStringLiteral("%1 - Ferrowin").arg(pgctrlHost->tabText(pgctrlHost->currentIndex())));
}

void TfrmMain::PlaySound(TSoundEvent event) {
  const std::string& file = Prefs.Sound(event);
  if (!file.empty()) Sounds->Play(file);
}

void TfrmMain::PlaceBusyPanel() {
  THostView* view = CurrentHostView();
  if (!view) return;
  // A small box over the middle of the list: the list stays shown, keeps the keyboard and its
  // place in the layout, and the box lets clicks through.
  QWidget* page = pgctrlHost->currentWidget();
  const QSize size = lblBusy->sizeHint().expandedTo(QSize(120, 60)).boundedTo(page->size());
  const QPoint centre = page->mapTo(lblBusy->parentWidget(), page->rect().center());
  lblBusy->setGeometry(QRect(centre - QPoint(size.width() / 2, size.height() / 2), size));
  lblBusy->setVisible(view->Animating);
  if (view->Animating) lblBusy->raise();
}

void TfrmMain::HostViewEvent(THostView& view, int code, int count) {
  if (Batch) Batch->HostState(view, code);
  switch (code) {
    case hsError:
    case hsAborted:
      PlaySound(TSoundEvent::Error);
      break;
    case hsBusy:
      view.Animating = true;
      break;
    case hsReady:
      view.Animating = false;
      break;
    case hsLoggedIn:
      ConnectedCount = std::min(ConnectedCount + 1, pgctrlHost->count());
      cmboHostTree->setEnabled(ConnectedCount > 0);
      PlaySound(TSoundEvent::ConnectSuccess);
      break;
    case hsDisconnected:
      view.Animating = false;
      ConnectedCount = std::max(ConnectedCount - 1, 0);
      cmboHostTree->setEnabled(ConnectedCount > 0);
      SetHostCaption(view, QStringLiteral("Disconnected"));
      PlaySound(TSoundEvent::Disconnect);
      break;
    case hsCantLogIn: {
      PlaySound(TSoundEvent::ConnectFailure);
      // Asked once the engine's notification has been handled.
      QPointer<THostView> refused(&view);
      QTimer::singleShot(0, this, [this, refused] {
        if (refused) LoginRefused(*refused);
      });
      break;
    }
    case hsReasonDone:
      PlaySound(TSoundEvent::EndOfFile);
      break;
    default:
      break;
  }
  if (&view != CurrentHostView()) return;
  const bool busy = view.Animating || view.Transferring || view.FTP().Busy();
  UpdateHostCommands(view.Connected(), view.Animating, busy, count);
  UpdateTransferButtons();
  if (pnlOpenSave) pnlOpenSave->RefreshNames(view, count);
}

void TfrmMain::UpdateHostCommands(bool connected, bool animating, bool busy, int count) {
  for (QAction* stop : {btnStop, mnuStop}) stop->setEnabled(busy || connected);
  for (QAction* disconnect : {btnDisconnect, mnuDisconnect}) disconnect->setEnabled(connected);
  UpdateHostFileCommands(connected, animating, busy, count);
  PlaceBusyPanel();
  if (Activity && Activity->isValid()) {
    if (busy || (Viewer() && Viewer()->Busy())) Activity->start();
    else Activity->setPaused(true);
  }
}

void TfrmMain::LocalSelectionChanged(TLocalView& view, int count) {
  if (&view == CurrentLocalView()) UpdateLocalCommands(count);
}

}  // namespace ferrowin
