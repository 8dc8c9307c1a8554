// The tool buttons beside each list, the path boxes, the view styles, the enabled states of
// the file commands, and the drag of the centre strip between the two sides.

#include <QAction>
#include <QBoxLayout>
#include <QCompleter>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QSplitter>
#include <QStandardItemModel>
#include <QStyle>
#include <QToolButton>

#include "HostView.h"
#include "LoclView.h"
#include "Main.h"

namespace ferrowin {
namespace {

QToolButton* Tool(QWidget* parent, const QString& hint, const char* theme, QStyle::StandardPixmap fallback) {
  auto* button = new QToolButton(parent);
  button->setToolTip(hint);
  button->setIcon(QIcon::fromTheme(QString::fromLatin1(theme), parent->style()->standardIcon(fallback)));
  button->setAutoRaise(true);
  return button;
}

QToolButton* Tool(QWidget* parent, QAction* action, const char* theme, QStyle::StandardPixmap fallback) {
  auto* button = Tool(parent, action->toolTip(), theme, fallback);
  action->setIcon(button->icon());
  button->setDefaultAction(action);
  return button;
}

QMenu* StyleMenu(QWidget* parent) {
  auto* menu = new QMenu(parent);
  for (const char* style : {"Large Icons", "Small Icons", "List", "Details"}) {
    QAction* item = menu->addAction(QString::fromLatin1(style));
    item->setToolTip(QStringLiteral("Show the list as %1").arg(QLatin1String(style)));
    item->setCheckable(true);
  }
  return menu;
}

// Mouse presses and moves on a widget, for the centre strip's drag.
class TDragFilter : public QObject {
 public:
  TDragFilter(QObject* parent, std::function<void(int dx)> onDrag) : QObject(parent), OnDrag(std::move(onDrag)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseMove)
      return QObject::eventFilter(watched, event);
    auto* mouse = static_cast<QMouseEvent*>(event);
    const int x = qRound(mouse->globalPosition().x());
    if (event->type() == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) {
      PressX = x;
      OnDrag(0);
    } else if (event->type() == QEvent::MouseMove && (mouse->buttons() & Qt::LeftButton)) {
      OnDrag(x - PressX);
    }
    return false;
  }

 private:
  std::function<void(int)> OnDrag;
  int PressX = 0;
};

bool IsBusy(THostView& view) { return view.Animating || view.Transferring || view.FTP().Busy(); }

}  // namespace

QLayout* TfrmMain::CreateSideTools(TSide side, QWidget* parent) {
  const bool local = side == TSide::Local;
  auto* rows = new QVBoxLayout;
  rows->setContentsMargins(0, 0, 0, 0);
  rows->setSpacing(2);
  auto* row = new QHBoxLayout;
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  if (!local) {
    HostSpacer = new QWidget(parent);
    HostSpacer->setFixedWidth(6);
    row->addWidget(HostSpacer);
  }
  QToolButton* refresh = Tool(parent, local ? mnuLocalRefresh : mnuHostRefresh, "view-refresh", QStyle::SP_BrowserReload);
  QToolButton* newFolder =
      Tool(parent, local ? mnuLocalNewFolder : mnuHostNewFolder, "folder-new", QStyle::SP_FileDialogNewFolder);
  QToolButton* erase = Tool(parent, local ? mnuLocalDelete : mnuHostDelete, "edit-delete", QStyle::SP_TrashIcon);
  QToolButton* rename = Tool(parent, local ? mnuLocalRename : mnuHostRename, "edit-rename", QStyle::SP_FileIcon);
  // Connected to the mask command, which enables it once the mask dialog exists.
  QToolButton* mask = Tool(parent, local ? mnuLocalMask : mnuHostMask, "view-filter", QStyle::SP_FileDialogContentsView);
  QToolButton* chdir = Tool(parent, QStringLiteral("Change Folder"), "folder-open", QStyle::SP_DirOpenIcon);
  QToolButton* up = Tool(parent, QStringLiteral("Up One Level"), "go-up", QStyle::SP_FileDialogToParent);
  QToolButton* cycle = Tool(parent, QStringLiteral("Change Views"), "view-list-icons", QStyle::SP_FileDialogListView);
  QToolButton* styles = Tool(parent, QStringLiteral("Type of Views"), "view-choose", QStyle::SP_FileDialogDetailedView);
  QToolButton* editWith = Tool(parent, QStringLiteral("Edit with..."), "document-edit", QStyle::SP_FileLinkIcon);
  QToolButton* newView = Tool(parent, QStringLiteral("New View"), "tab-new", QStyle::SP_FileDialogStart);
  QToolButton* closeView = Tool(parent, QStringLiteral("Close View"), "tab-close", QStyle::SP_DialogCloseButton);
  styles->setMenu(StyleMenu(styles));
  styles->setPopupMode(QToolButton::InstantPopup);
  auto* editMenu = new QMenu(editWith);
  editMenu->addAction(QStringLiteral("Edit with &NotePad"))->setToolTip(QStringLiteral("Edit with the text viewer"));
  editMenu->addAction(QStringLiteral("Edit with &Pennifold"))->setToolTip(QStringLiteral("Edit with Pennifold"));
  editWith->setMenu(editMenu);
  editWith->setPopupMode(QToolButton::InstantPopup);
  for (QToolButton* b : {refresh, newFolder, erase, rename, mask, chdir, up, cycle, styles, editWith, newView, closeView})
    row->addWidget(b);
  row->addStretch(1);
  rows->addLayout(row);

  connect(styles->menu(), &QMenu::aboutToShow, this, [this, side, styles] { PopViewStylePopup(side, styles->menu()); });
  for (int i = 0; i < 4; ++i)
    connect(styles->menu()->actions().at(i), &QAction::triggered, this, [this, side, i] { PopIconClick(side, i); });
  connect(editMenu, &QMenu::aboutToShow, this, [this, side, editMenu] { PopEditPopup(side, editMenu); });
  connect(editMenu->actions().at(0), &QAction::triggered, this, [this, side] { PopEditNotePadClick(side, false); });
  connect(editMenu->actions().at(1), &QAction::triggered, this, [this, side] { PopEditNotePadClick(side, true); });
  connect(chdir, &QToolButton::clicked, this, local ? &TfrmMain::btnLocalChDirClick : &TfrmMain::btnHostChDirClick);
  connect(up, &QToolButton::clicked, this, local ? &TfrmMain::btnLocalUpClick : &TfrmMain::btnHostUpClick);
  connect(cycle, &QToolButton::clicked, this, local ? &TfrmMain::btnLocalViewClick : &TfrmMain::btnHostViewClick);
  connect(newView, &QToolButton::clicked, this, local ? &TfrmMain::btnLocalNewClick : &TfrmMain::btnHostNewClick);
  connect(closeView, &QToolButton::clicked, this, local ? &TfrmMain::btnLocalCloseClick : &TfrmMain::btnHostCloseClick);

  if (local) {
    btnLocalRefresh = refresh, btnLocalNewFolder = newFolder, btnLocalDelete = erase, btnLocalRename = rename;
    btnLocalMask = mask, btnLocalChDir = chdir, btnLocalUp = up, btnLocalView = cycle, btnLocalViewStyle = styles;
    btnLocalEdit = editWith, btnLocalNew = newView, btnLocalClose = closeView;
    LocalSide = parent;
    editLocalFolder = new QLineEdit(parent);
    editLocalFolder->setToolTip(QStringLiteral("The local folder; type another and press Enter"));
    auto* folders = new QFileSystemModel(editLocalFolder);
    folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    folders->setRootPath(QString());
    editLocalFolder->setCompleter(new QCompleter(folders, editLocalFolder));
    connect(editLocalFolder, &QLineEdit::returnPressed, this, [this] {
      if (TLocalView* view = CurrentLocalView(); view && !view->ChangeFolder(editLocalFolder->text().toStdString()))
        editLocalFolder->setText(QString::fromStdString(view->GetFolder()));
    });
    rows->addWidget(editLocalFolder);
  } else {
    btnHostRefresh = refresh, btnHostNewFolder = newFolder, btnHostDelete = erase, btnHostRename = rename;
    btnHostMask = mask, btnHostChDir = chdir, btnHostUp = up, btnHostView = cycle, btnHostViewStyle = styles;
    btnHostEdit = editWith, btnHostNew = newView, btnHostClose = closeView;
    rows->addWidget(cmboHostTree);
  }
  return rows;
}

void TfrmMain::ApplyStyle(TSide side, int style) {
  if (TCustomView* view = CurrentView(side)) view->ListView()->SetViewStyle(static_cast<TViewStyle>(style & 3));
}

void TfrmMain::btnLocalViewClick() {
  LocalStyle = (LocalStyle + 1) % 4;
  ApplyStyle(TSide::Local, LocalStyle);
}

void TfrmMain::btnHostViewClick() {
  HostStyle = (HostStyle + 1) % 4;
  ApplyStyle(TSide::Host, HostStyle);
}

void TfrmMain::PopViewStylePopup(TSide side, QMenu* menu) {
  TCustomView* view = CurrentView(side);
  const int style = view ? static_cast<int>(view->ListView()->ViewStyle()) : -1;
  for (int i = 0; i < 4; ++i) menu->actions().at(i)->setChecked(i == style);
}

// The drop-down changes the list shown; the side's remembered style follows at the next
// tab change.
void TfrmMain::PopIconClick(TSide side, int style) { ApplyStyle(side, style); }

void TfrmMain::UpdateHostFileCommands(bool connected, bool animating, bool busy, int count) {
  const bool idle = connected && !busy;
  mnuHostDelete->setEnabled(idle && count >= 1);
  mnuHostRename->setEnabled(idle && count == 1);
  for (QAction* a : {mnuHostNewFolder, mnuHostRefresh, mnuHostEdit->menuAction()}) a->setEnabled(idle);
  for (QToolButton* b : {btnHostEdit, btnHostView, btnHostViewStyle}) b->setEnabled(idle);
  btnHostChDir->setEnabled(connected && !animating);
  mnuHostMask->setEnabled(connected);
  mnuCompareFolders->setEnabled(connected && !animating);
  mnuHostProperties->setEnabled(count >= 1 && !animating);
  QStandardItem* node = cmboHostTree->SelectedNode();
  btnHostUp->setEnabled(connected && node && node != cmboHostTree->Nodes()->item(0));
}

void TfrmMain::UpdateLocalCommands(int count) {
  mnuLocalDelete->setEnabled(count > 0);
  mnuLocalRename->setEnabled(count == 1);
  mnuLocalProperties->setEnabled(count > 0);
  TLocalView* view = CurrentLocalView();
  const QString folder = view ? QString::fromStdString(view->GetFolder()) : QString();
  btnLocalUp->setEnabled(!folder.isEmpty() && folder != QStringLiteral("/"));
  if (!editLocalFolder->hasFocus()) editLocalFolder->setText(folder);
}

// Selections also change without the views reporting it (keys, a new listing).
void TfrmMain::RefreshFileCommands() {
  TLocalView* local = CurrentLocalView();
  UpdateLocalCommands(local ? local->ListView()->SelCount() : 0);
  if (THostView* host = CurrentHostView())
    UpdateHostFileCommands(host->Connected(), host->Animating, IsBusy(*host), host->ListView()->SelCount());
}

void TfrmMain::DragCentreStrip(int dx) {
  if (dx == 0) StripPressWidth = LocalSide->width();
  // Each side keeps twice a tool button's width, and the room its tool row needs.
  const int tool = 2 * btnLocalRefresh->sizeHint().width();
  const int localLeast = std::max(tool, LocalSide->minimumSizeHint().width());
  const int hostLeast = std::max(tool, ViewSplitter->widget(2)->minimumSizeHint().width());
  const int client = ViewSplitter->width() - 2 * ViewSplitter->handleWidth();
  const int most = client - CentreStrip->width() - hostLeast;
  const int width = std::max(localLeast, std::min(StripPressWidth + dx, most));
  ViewSplitter->setSizes({width, CentreStrip->width(), client - CentreStrip->width() - width});
  ViewSplitter->repaint();
}

void TfrmMain::WatchCentreStrip(QWidget* strip) {
  CentreStrip = strip;
  strip->setCursor(Qt::SizeHorCursor);
  strip->installEventFilter(new TDragFilter(strip, [this](int dx) { DragCentreStrip(dx); }));
}

}  // namespace ferrowin
