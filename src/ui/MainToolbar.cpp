// The toolbar: nine positions, small or large, the bar under it that switches the size, and
// Maximize Host View.

#include <QAction>
#include <QLabel>
#include <QStyle>
#include <QToolButton>

#include "LogControl.h"
#include "Main.h"
#include "ToolPanel.h"

namespace ferrowin {

void TfrmMain::CreateToolBar(QWidget* parent) {
  ToolBar = new TToolPanel(parent);
  auto action = [this](const QString& hint, QStyle::StandardPixmap icon, bool toggle = false) {
    auto* a = new QAction(style()->standardIcon(icon), hint, this);
    a->setToolTip(hint);
    a->setCheckable(toggle);
    return a;
  };
  btnConnect = action(QStringLiteral("Connect"), QStyle::SP_DriveNetIcon);
  btnConnectURL = action(QStringLiteral("Connect to URL"), QStyle::SP_DirLinkIcon);
  btnStop = action(QStringLiteral("Stop"), QStyle::SP_BrowserStop);
  btnDisconnect = action(QStringLiteral("Disconnect"), QStyle::SP_DialogCloseButton);
  btnMaximizeHost = action(QStringLiteral("Maximize Host View"), QStyle::SP_TitleBarMaxButton, true);
  btnShowLog = action(QStringLiteral("Show Log"), QStyle::SP_FileDialogDetailedView, true);
  btnShowLog->setChecked(true);
  for (QAction* a : {btnConnect, btnConnectURL, btnStop, btnDisconnect, static_cast<QAction*>(nullptr), btnTransferMng,
                     btnMaximizeHost, btnShowLog, btnExplorer})
    ToolBar->AddButton(a);
  ToolBar->OnSizeChanged = [this](bool) {
    if (!LogArea) return;
    LogArea->SetToolBarHeight(std::max(ToolBar->height(), aniActivity->height()));
    ApplyLogHeight();
  };
  connect(btnConnect, &QAction::triggered, this, &TfrmMain::btnConnectClick);
  connect(btnConnectURL, &QAction::triggered, this, &TfrmMain::ConnectURLDialog);
  connect(btnStop, &QAction::triggered, this, &TfrmMain::btnStopClick);
  connect(btnDisconnect, &QAction::triggered, this, &TfrmMain::btnDisconnectClick);
  connect(btnShowLog, &QAction::toggled, this, &TfrmMain::btnShowLogClick);
  connect(btnMaximizeHost, &QAction::toggled, this, &TfrmMain::btnMaximizeHostClick);
}

void TfrmMain::BarMoveToolMouseMove(int y) { ToolBar->BarMove(y); }

void TfrmMain::SetLargeToolBar(bool large) {
  ToolBar->SetLarge(large);
  if (ToolBar->OnSizeChanged) ToolBar->OnSizeChanged(large);
}

void TfrmMain::btnMaximizeHostClick(bool down) {
  for (QWidget* w : {LocalSide, HostSpacer, CentreStrip})
    if (w) w->setVisible(!down);
  mnuMaximizeHost->setChecked(down);
}

}  // namespace ferrowin
