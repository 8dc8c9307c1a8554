// The context menus of the host and the local lists, with their enabled states and default
// item worked out each time they open, and the double-click actions of both lists.

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QToolButton>

#include "HostView.h"
#include "LoclView.h"
#include "Main.h"
#include "Programs.h"

namespace ferrowin {
namespace {

QAction* Item(QMenu* menu, const QString& text, const QString& hint) {
  QAction* action = menu->addAction(text);
  action->setToolTip(hint);
  return action;
}

}  // namespace

void TfrmMain::CreateContextMenus() {
  popHost = new QMenu(this);
  popHostOpen = Item(popHost, QStringLiteral("&Open"), QStringLiteral("Open with the desktop's application"));
  popHostView = Item(popHost, QStringLiteral("&View"), QStringLiteral("Show in the text viewer"));
  popHost->addSeparator();
  popHostDownload = Item(popHost, QStringLiteral("&Download"), QStringLiteral("Download through the transfer queue"));
  popHostDownloadNow = Item(popHost, QStringLiteral("Download &Now"), QStringLiteral("Download over this connection now"));
  popHost->addSeparator();
  popHostRename = Item(popHost, QStringLiteral("Rena&me"), QStringLiteral("Rename"));
  popHostDelete = Item(popHost, QStringLiteral("Dele&te"), QStringLiteral("Delete"));
  popHost->addSeparator();
  popHostSendTo = popHost->addMenu(QStringLiteral("&Send To"));
  popHostSendTo->menuAction()->setToolTip(QStringLiteral("Move, copy or name the selection elsewhere"));
  QAction* anyHost = Item(popHostSendTo, QStringLiteral("Any &Host Folder... (Move)"),
                          QStringLiteral("Move to another folder of the server"));
  QAction* anyLocal = Item(popHostSendTo, QStringLiteral("Any &Local Folder... (Copy)"),
                           QStringLiteral("Download into any local folder"));
  QAction* asName = Item(popHostSendTo, QStringLiteral("Clipboard as &Name"), QStringLiteral("Copy the full paths"));
  QAction* asURL = Item(popHostSendTo, QStringLiteral("Clipboard as &URL"), QStringLiteral("Copy the addresses"));
  popHost->addSeparator();
  popHostNew = popHost->addMenu(QStringLiteral("Ne&w"));
  popHostNew->menuAction()->setToolTip(QStringLiteral("Create on the server"));
  QAction* hostFolder = Item(popHostNew, QStringLiteral("&Folder"), QStringLiteral("New Folder"));
  popHost->addSeparator();
  popHostProperties = Item(popHost, QStringLiteral("P&roperties"), QStringLiteral("Properties of the selection"));
  connect(popHost, &QMenu::aboutToShow, this, &TfrmMain::popHostPopup);
  connect(popHostOpen, &QAction::triggered, this, &TfrmMain::popHostOpenClick);
  connect(popHostView, &QAction::triggered, this, &TfrmMain::popHostViewClick);
  connect(popHostDownload, &QAction::triggered, this, &TfrmMain::popHostDownloadClick);
  connect(popHostDownloadNow, &QAction::triggered, this, &TfrmMain::popHostDownloadNowClick);
  connect(popHostRename, &QAction::triggered, this, &TfrmMain::btnHostRenameClick);
  connect(popHostDelete, &QAction::triggered, this, &TfrmMain::btnHostDeleteClick);
  connect(anyHost, &QAction::triggered, this, &TfrmMain::popHostSendToAnyHostFolderClick);
  connect(anyLocal, &QAction::triggered, this, &TfrmMain::popHostSendToAnyLocalFolderClick);
  connect(asName, &QAction::triggered, this, [this] { popHostSendToClipboardAsNameClick(false); });
  connect(asURL, &QAction::triggered, this, [this] { popHostSendToClipboardAsNameClick(true); });
  connect(hostFolder, &QAction::triggered, this, &TfrmMain::btnHostNewFolderClick);
  connect(popHostProperties, &QAction::triggered, this, &TfrmMain::popHostPropertiesClick);

  PopLocal = new QMenu(this);
  PopLocalView = PopLocal->addMenu(QStringLiteral("&View"));
  PopLocalView->menuAction()->setToolTip(QStringLiteral("How the local list shows its entries"));
  for (const char* style : {"Large Icons", "Small Icons", "List", "Details"})
    Item(PopLocalView, QString::fromLatin1(style), QStringLiteral("Show the list as %1").arg(QLatin1String(style)))
        ->setCheckable(true);
  connect(PopLocalView, &QMenu::aboutToShow, this, [this] { PopViewStylePopup(TSide::Local, PopLocalView); });
  PopLocalPaste = Item(PopLocal, QStringLiteral("&Paste"), QStringLiteral("Paste the clipboard's files here"));
  PopLocalNew = PopLocal->addMenu(QStringLiteral("Ne&w"));
  PopLocalNew->menuAction()->setToolTip(QStringLiteral("Create in the local folder"));
  QAction* localFolder = Item(PopLocalNew, QStringLiteral("&Folder"), QStringLiteral("New Folder"));
  PopLocal->addSeparator();
  PopLocalProperties = Item(PopLocal, QStringLiteral("P&roperties"), QStringLiteral("Properties of the selection"));
  connect(PopLocal, &QMenu::aboutToShow, this, &TfrmMain::PopLocalPopup);
  connect(PopLocalPaste, &QAction::triggered, this, &TfrmMain::mnuLocalPasteClick);
  connect(localFolder, &QAction::triggered, this, &TfrmMain::btnLocalNewFolderClick);
  connect(PopLocalProperties, &QAction::triggered, this, &TfrmMain::PopLocalPropertiesClick);
}

void TfrmMain::popHostPopup() {
  THostView* view = CurrentHostView();
  if (!view) return;
  const int focused = view->ListView()->Focused();
  const bool file = focused >= 0 && !view->ItemIsFolder(focused);
  const bool deletable = mnuHostDelete->isEnabled();
  popHostOpen->setEnabled(deletable && file);
  popHostView->setEnabled(deletable && file);
  popHostDownload->setEnabled(btnDownload->isEnabled());
  popHostDownloadNow->setEnabled(btnDownload->isEnabled() && file);
  popHostRename->setEnabled(mnuHostRename->isEnabled());
  popHostDelete->setEnabled(deletable);
  popHostSendTo->menuAction()->setEnabled(deletable);
  popHostProperties->setEnabled(deletable);
  popHostNew->menuAction()->setEnabled(mnuHostNewFolder->isEnabled());
  // The item a double click performs is the bold one.
  switch (Prefs.HostDblClk) {
    case 1: popHost->setDefaultAction(popHostView); break;
    case 2: popHost->setDefaultAction(popHostDownload); break;
    case 3: popHost->setDefaultAction(popHostOpen); break;
    default: popHost->setDefaultAction(popHostProperties); break;
  }
}

void TfrmMain::PopLocalPopup() { PopLocalProperties->setEnabled(mnuLocalProperties->isEnabled()); }

void TfrmMain::HostDblClick(THostView&) {
  switch (Prefs.HostDblClk) {
    case 1: popHostViewClick(); break;
    case 2: popHostDownloadClick(); break;
    case 3: popHostOpenClick(); break;
    default: popHostPropertiesClick(); break;
  }
}

void TfrmMain::LocalDblClick(TLocalView& view, int item) {
  if (item < 0) return;
  const QString path = QString::fromStdString(view.GetItemPath(item));
  switch (Prefs.LocalDblClk) {
    case 0: view.ShowProperties(); break;
    case 1:
      StartOrSay({ViewerProgram(), {path}, QString::fromStdString(view.GetFolder())});
      break;
    case 2:
      if (THostView* host = CurrentHostView()) host->UploadSelected(view);
      break;
    default: StartOrSay({QString(), {path}, QString()}); break;
  }
}

}  // namespace ferrowin
