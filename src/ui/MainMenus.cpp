// The six top menus: every item with its caption, shortcut and tool tip. The Local and Server
// items (and Select All, Invert Selection) show the keys the list in focus answers itself
// (F5, F2, Delete, ...); as window shortcuts they would be ambiguous between the two sides
// and would take the keys from the path boxes and the log.

#include <QAction>
#include <QDesktopServices>
#include <QMenu>
#include <QMenuBar>
#include <QUrl>

#include "Help.h"
#include "Main.h"

namespace ferrowin {
namespace {

QAction* Item(QMenu* menu, const QString& text, const QString& hint, const QKeySequence& key = {},
              Qt::ShortcutContext context = Qt::WindowShortcut) {
  auto* action = menu->addAction(text);
  action->setToolTip(hint);
  action->setShortcut(key);
  action->setShortcutContext(context);
  return action;
}

// A key of a list command: the list in focus handles it, the menu only shows it.
QAction* ListItem(QMenu* menu, const QString& text, const QString& hint, const QKeySequence& key = {}) {
  return Item(menu, text, hint, key, Qt::WidgetShortcut);
}

}  // namespace

void TfrmMain::CreateMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  mnuConnect = Item(file, QStringLiteral("&Connect"), QStringLiteral("Connect to a site of the site manager"),
                    QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
  mnuConnectURL = Item(file, QStringLiteral("Connect to &URL"), QStringLiteral("Connect to an ftp:// or http:// address"),
                       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_U));
  mnuStop = Item(file, QStringLiteral("&Stop"), QStringLiteral("Stop what the server view is doing"),
                 QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  mnuDisconnect = Item(file, QStringLiteral("&Disconnect"), QStringLiteral("Disconnect the server view"),
                       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D));
  mnuDisconnect->setEnabled(false);
  mnuLastConnect = file->addMenu(QStringLiteral("&Last Connections"));
  mnuLastConnect->menuAction()->setToolTip(QStringLiteral("Connect to a site used lately"));
  for (int slot = 0; slot < TLastConnections::Count; ++slot) {
    mnuLast[slot] = mnuLastConnect->addAction(QString(), this, [this, slot] { mnuLast1Click(slot); });
    mnuLast[slot]->setVisible(false);
  }
  connect(mnuLastConnect, &QMenu::aboutToShow, this, &TfrmMain::mnuLastConnectClick);
  file->addSeparator();
  mnuExit = Item(file, QStringLiteral("&Exit"), QStringLiteral("Close Ferrowin"), QKeySequence(Qt::ALT | Qt::Key_F4));
  connect(mnuConnect, &QAction::triggered, this, &TfrmMain::btnConnectClick);
  connect(mnuConnectURL, &QAction::triggered, this, &TfrmMain::ConnectURLDialog);
  connect(mnuStop, &QAction::triggered, this, &TfrmMain::btnStopClick);
  connect(mnuDisconnect, &QAction::triggered, this, &TfrmMain::btnDisconnectClick);
  connect(mnuExit, &QAction::triggered, this, &QWidget::close);

  QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
  edit->addAction(mnuCompareFolders);
  edit->addSeparator();
  mnuSelectAll = ListItem(edit, QStringLiteral("Select &All"), QStringLiteral("Select every entry of the list in focus"),
                          QKeySequence(Qt::CTRL | Qt::Key_A));
  mnuInvertSelect = ListItem(edit, QStringLiteral("&Invert Selection"),
                             QStringLiteral("Select what is not selected in the list in focus"),
                             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A));
  connect(mnuSelectAll, &QAction::triggered, this, &TfrmMain::mnuSelectAllClick);
  connect(mnuInvertSelect, &QAction::triggered, this, &TfrmMain::mnuInvertSelectClick);

  for (TSide side : {TSide::Local, TSide::Host}) {
    const bool local = side == TSide::Local;
    QMenu* menu = menuBar()->addMenu(local ? QStringLiteral("&Local") : QStringLiteral("&Server"));
    QMenu* editWith = menu->addMenu(QStringLiteral("E&dit with..."));
    editWith->menuAction()->setToolTip(QStringLiteral("Open the entry in focus in an editor"));
    ListItem(editWith, QStringLiteral("&NotePad"), QStringLiteral("Edit with the text viewer"));
    ListItem(editWith, QStringLiteral("&Pennifold"), QStringLiteral("Edit with Pennifold"));
    connect(editWith, &QMenu::aboutToShow, this, [this, side, editWith] { PopEditPopup(side, editWith); });
    connect(editWith->actions()[0], &QAction::triggered, this, [this, side] { PopEditNotePadClick(side, false); });
    connect(editWith->actions()[1], &QAction::triggered, this, [this, side] { PopEditNotePadClick(side, true); });
    menu->addSeparator();
    QAction* refresh = ListItem(menu, QStringLiteral("&Refresh"), QStringLiteral("Refresh"), QKeySequence(Qt::Key_F5));
    QAction* newFolder = ListItem(menu, QStringLiteral("&Create New Folder"), QStringLiteral("New Folder"));
    QAction* rename = ListItem(menu, QStringLiteral("Rena&me"), QStringLiteral("Rename"), QKeySequence(Qt::Key_F2));
    QAction* erase = ListItem(menu, QStringLiteral("&Erase"), QStringLiteral("Delete"), QKeySequence(Qt::Key_Delete));
    menu->addAction(local ? mnuLocalMask : mnuHostMask);
    menu->addSeparator();
    if (local) {
      mnuLocalEdit = editWith;
      mnuLocalCut = ListItem(menu, QStringLiteral("&Cut"), QStringLiteral("Cut the selection to the clipboard"),
                             QKeySequence(Qt::CTRL | Qt::Key_X));
      mnuLocalCopy = ListItem(menu, QStringLiteral("Co&py"), QStringLiteral("Copy the selection to the clipboard"),
                              QKeySequence(Qt::CTRL | Qt::Key_C));
      mnuLocalPaste = ListItem(menu, QStringLiteral("&Paste"), QStringLiteral("Paste the clipboard's files here"),
                               QKeySequence(Qt::CTRL | Qt::Key_V));
      menu->addSeparator();
      connect(mnuLocalCut, &QAction::triggered, this, &TfrmMain::mnuLocalCutClick);
      connect(mnuLocalCopy, &QAction::triggered, this, &TfrmMain::mnuLocalCopyClick);
      connect(mnuLocalPaste, &QAction::triggered, this, &TfrmMain::mnuLocalPasteClick);
    } else {
      mnuHostEdit = editWith;
    }
    QAction* properties = ListItem(menu, QStringLiteral("P&roperties"), QStringLiteral("Properties of the selection"),
                                   QKeySequence(Qt::ALT | Qt::Key_Return));
    (local ? mnuLocalRefresh : mnuHostRefresh) = refresh;
    (local ? mnuLocalNewFolder : mnuHostNewFolder) = newFolder;
    (local ? mnuLocalRename : mnuHostRename) = rename;
    (local ? mnuLocalDelete : mnuHostDelete) = erase;
    (local ? mnuLocalProperties : mnuHostProperties) = properties;
    connect(refresh, &QAction::triggered, this, local ? &TfrmMain::btnLocalRefreshClick : &TfrmMain::btnHostRefreshClick);
    connect(newFolder, &QAction::triggered, this,
            local ? &TfrmMain::btnLocalNewFolderClick : &TfrmMain::btnHostNewFolderClick);
    connect(rename, &QAction::triggered, this, local ? &TfrmMain::btnLocalRenameClick : &TfrmMain::btnHostRenameClick);
    connect(erase, &QAction::triggered, this, local ? &TfrmMain::btnLocalDeleteClick : &TfrmMain::btnHostDeleteClick);
    connect(properties, &QAction::triggered, this,
            local ? &TfrmMain::PopLocalPropertiesClick : &TfrmMain::popHostPropertiesClick);
  }

  QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
  mnuPreferences = Item(options, QStringLiteral("General &Preferences"), QStringLiteral("Change the preferences"));
  connect(mnuPreferences, &QAction::triggered, this, &TfrmMain::mnuPreferencesClick);
  options->addSeparator();
  options->addAction(mnuTransferMng);
  mnuMaximizeHost = Item(options, QStringLiteral("&Maximize Server Window"),
                         QStringLiteral("Give the whole width to the server view"), QKeySequence(Qt::CTRL | Qt::Key_M));
  mnuMaximizeHost->setCheckable(true);
  connect(mnuMaximizeHost, &QAction::triggered, this, [this] { btnMaximizeHost->toggle(); });
  mnuShowLog = Item(options, QStringLiteral("View M&essages Window"), QStringLiteral("Show or hide the message log"),
                    QKeySequence(Qt::Key_F9));
  mnuShowLog->setCheckable(true);
  mnuShowLog->setChecked(true);
  connect(mnuShowLog, &QAction::triggered, this, [this] { btnShowLog->toggle(); });
  options->addAction(mnuShowViewer);
  options->addAction(mnuShowTransferInfo);

  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  mnuHelpContents = Item(help, QStringLiteral("&Help Contents"), QStringLiteral("The contents of the help"),
                         QKeySequence(Qt::Key_F1));
  mnuHelpPointer = Item(help, QStringLiteral("&What's This?"), QStringLiteral("Click a control to learn what it does"));
  help->addSeparator();
  mnuWebPage = Item(help, QStringLiteral("Ferrowin on the &Web"), QStringLiteral("Open Ferrowin's web page"));
  help->addSeparator();
  mnuAbout = Item(help, QStringLiteral("&About..."), QStringLiteral("Version and copyright"));
  connect(mnuHelpContents, &QAction::triggered, this, [] { ShowHelpContents(); });
  connect(mnuHelpPointer, &QAction::triggered, this, [] { EnterWhatsThisMode(); });
  connect(mnuWebPage, &QAction::triggered, this,
          [] { QDesktopServices::openUrl(QUrl(QStringLiteral("https://ferrowin.github.io/"))); });
  connect(mnuAbout, &QAction::triggered, this, [this] { ShowAbout(this); });
}

}  // namespace ferrowin
