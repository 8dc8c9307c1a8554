// The main window's side of the transfers: the queue list of the run, the Upload and
// Download buttons between the lists, and "Disconnect Transfer Connection".

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "HostView.h"
#include "LoclView.h"
#include "Main.h"
#include "Transfer.h"
#include "TransferWindows.h"

namespace ferrowin {

void TfrmMain::CreateTransferControls() {
  TransferList = std::make_unique<TTransferItemsList>(&Prefs);
  // Only the commands: the view's log lines reached the log while the queue held it, and
  // refilling the log after every file of a batch costs more than the files.
  TransferList->OnCommandsChanged = [this] {
    if (THostView* view = CurrentHostView()) HostViewEvent(*view, hsStatus, view->ListView()->SelCount());
  };
  auto* strip = new QWidget(ViewSplitter);
  auto* layout = new QVBoxLayout(strip);
  layout->setContentsMargins(2, 0, 2, 0);
  auto button = [strip](const QString& hint, QStyle::StandardPixmap icon) {
    auto* b = new QToolButton(strip);
    b->setToolTip(hint);
    b->setIcon(strip->style()->standardIcon(icon));
    b->setAutoRaise(true);
    return b;
  };
  btnUpload = button(QStringLiteral("Upload"), QStyle::SP_ArrowRight);
  btnDownload = button(QStringLiteral("Download"), QStyle::SP_ArrowLeft);
  layout->addStretch(1);
  layout->addWidget(btnUpload);
  layout->addWidget(btnDownload);
  layout->addStretch(1);
  strip->setFixedWidth(32);
  WatchCentreStrip(strip);
  ViewSplitter->insertWidget(1, strip);
  ViewSplitter->setStretchFactor(1, 0);
  ViewSplitter->setStretchFactor(2, 1);
  connect(btnUpload, &QToolButton::clicked, this, &TfrmMain::btnUploadClick);
  connect(btnDownload, &QToolButton::clicked, this, &TfrmMain::btnDownloadClick);
  btnUpload->setEnabled(false);
  btnDownload->setEnabled(false);
  QMenu* file = menuBar()->actions().value(0) ? menuBar()->actions().value(0)->menu() : nullptr;
  mnuDisconnectTransfer = new QAction(QStringLiteral("Disconnect Transfer Connection"), this);
  mnuDisconnectTransfer->setEnabled(false);
  if (file) file->insertAction(mnuLastConnect->menuAction(), mnuDisconnectTransfer);
  connect(mnuDisconnectTransfer, &QAction::triggered, this, &TfrmMain::mnuDisconnectTransferClick);
}

void TfrmMain::btnUploadClick() {
  if (TLocalView* local = CurrentLocalView()) local->TransferTo(CurrentHostView());
}

void TfrmMain::btnDownloadClick() {
  if (THostView* host = CurrentHostView()) host->TransferTo(CurrentLocalView());
}

void TfrmMain::UpdateTransferButtons() {
  if (!btnUpload) return;
  THostView* host = CurrentHostView();
  TLocalView* local = CurrentLocalView();
  const bool connected = host && host->Connected();
  btnUpload->setEnabled(connected && local && local->ListView()->SelCount() > 0);
  btnDownload->setEnabled(connected && host->ListView()->SelCount() > 0 && !host->Animating);
  RefreshFileCommands();
}

// Every way a selection changes (clicks, keys, a new listing clearing it) reaches the buttons.
void TfrmMain::WatchSelection(TCustomView& view) {
  QItemSelectionModel* selection = view.ListView()->Selection();
  connect(selection, &QItemSelectionModel::selectionChanged, this, &TfrmMain::UpdateTransferButtons,
          Qt::UniqueConnection);
  if (QAbstractItemModel* model = selection->model()) {
    connect(model, &QAbstractItemModel::modelReset, this, &TfrmMain::UpdateTransferButtons, Qt::UniqueConnection);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &TfrmMain::UpdateTransferButtons, Qt::UniqueConnection);
  }
}

void TfrmMain::mnuDisconnectTransferClick() {
  // The progress window's Cancel first: pending items would otherwise start on new connections.
  TfrmTransfer& progress = *TransferWindows->Progress;
  if (progress.CurrentItem()) progress.btnCancelClick();
  TransferList->DisconnectAll();
  mnuDisconnectTransfer->setEnabled(false);
}

}  // namespace ferrowin
