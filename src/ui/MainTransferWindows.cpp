// The main window's side of the progress and manager windows: their toolbar button and menu
// items, and what the windows tell the main window (status text, sounds, all done).

#include <QAction>
#include <QLabel>
#include <QMovie>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>

#include "BatchRun.h"
#include "Main.h"
#include "SoundPlayer.h"
#include "Transfer.h"
#include "TransferWindows.h"

namespace ferrowin {

// The toolbar button and the two Options items; the menus and the toolbar place them.
void TfrmMain::CreateTransferWindowActions() {
  btnTransferMng = new QAction(style()->standardIcon(QStyle::SP_FileDialogListView),
                               QStringLiteral("Show Transfer Manager"), this);
  btnTransferMng->setCheckable(true);
  mnuShowTransferInfo = new QAction(QStringLiteral("View &Transfers"), this);
  mnuShowTransferInfo->setToolTip(QStringLiteral("Show or hide the transfer window"));
  mnuShowTransferInfo->setShortcut(Qt::Key_F12);
  mnuShowTransferInfo->setCheckable(true);
  mnuShowTransferInfo->setChecked(true);
  mnuTransferMng = new QAction(QStringLiteral("View &Transfer Manager"), this);
  mnuTransferMng->setToolTip(QStringLiteral("Show or hide the transfer manager"));
  mnuTransferMng->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
  mnuTransferMng->setCheckable(true);
  connect(btnTransferMng, &QAction::triggered, this, &TfrmMain::btnTransferMngClick);
  connect(mnuTransferMng, &QAction::triggered, this, &TfrmMain::btnTransferMngClick);
  connect(mnuShowTransferInfo, &QAction::triggered, this, &TfrmMain::mnuShowTransferInfoClick);
}

void TfrmMain::CreateTransferWindows() {
  TransferWindows = std::make_unique<TTransferWindows>();
  TTransferWindows& w = *TransferWindows;
  w.StatusPanel = new QLabel(this);
  statusBar()->addWidget(w.StatusPanel, 1);
  w.Manager = std::make_unique<TfrmTransferMngr>();
  w.Progress = std::make_unique<TfrmTransfer>(*TransferList, Prefs);
  w.Progress->Manager = w.Manager.get();
  w.Progress->setWindowIcon(windowIcon());
  w.Manager->setWindowIcon(windowIcon());

  TTransferItemsList& list = *TransferList;
  list.OnQueueCreated = [&w](TTransferItems& q) { w.Manager->QueueCreated(q); };
  list.OnQueueRemoved = [&w](TTransferItems& q) {
    w.Progress->QueueGone(q);
    w.Manager->QueueGone(q);
  };
  list.OnQueueActive = [this, &w, &list](TTransferItems& q) {
    mnuDisconnectTransfer->setEnabled(true);
    w.Progress->ShowQueue(q, list.ShowTransferInfo);
  };
  list.OnStatusText = [&w](const std::string& text) { w.StatusPanel->setText(QString::fromStdString(text)); };
  list.OnItemState = [&w](TTransferItems&, TTransferItem& item) { w.Manager->ItemState(item); };
  TfrmTransfer& p = *w.Progress;
  p.OnStatusText = list.OnStatusText;
  // At rest the taskbar shows the window's own title ("host - Ferrowin"), as before any transfer.
  p.OnApplicationTitle = [this](const QString& title) {
    setWindowIconText(title == TfrmTransfer::RestingTitle() ? QString() : title);
  };
  p.OnActivity = [this](bool running) {
    if (!Activity || !Activity->isValid()) return;
    if (!running) Activity->setPaused(true);
    else if (Activity->state() == QMovie::NotRunning) Activity->start();
    else Activity->setPaused(false);
  };
  p.OnFileEnded = [this] { PlaySound(TSoundEvent::EndOfFile); };
  p.OnAllDone = [this] { TransferWindowsAllDone(); };
  p.OnThreadError = [this](const std::string& message) { HostLog(this, message, ErrorColor); };
  p.OnTransferConnection = [this](bool connected) { mnuDisconnectTransfer->setEnabled(connected); };
  p.OnItemShown = [this] { mnuShowTransferInfo->setEnabled(true); };
  w.Manager->OnClose = [this] {
    btnTransferMng->setChecked(false);
    mnuTransferMng->setChecked(false);
  };
}

void TfrmMain::btnTransferMngClick(bool checked) {
  btnTransferMng->setChecked(checked);
  mnuTransferMng->setChecked(checked);
  TfrmTransferMngr& manager = *TransferWindows->Manager;
  if (!checked) return manager.hide();
  manager.show();
  manager.raise();
}

void TfrmMain::mnuShowTransferInfoClick(bool checked) {
  TransferList->ShowTransferInfo = checked;
  TfrmTransfer& progress = *TransferWindows->Progress;
  if (!checked) return progress.hide();
  const bool work = TransferList->StateCount(isPending) + TransferList->StateCount(isBusy) > 0;
  if (work || progress.btnPin->isChecked()) progress.show();
}

// Notification 134: every transfer of the shown queue has ended.
void TfrmMain::TransferWindowsAllDone() {
  PlaySound(TSoundEvent::EndOfTotal);
  if (Batch) Batch->Check();
}

}  // namespace ferrowin
