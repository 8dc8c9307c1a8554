// The main window's controls: the upper area (toolbar and log), the local and host sides
// with their tabs, the menus, and the rules of the log area.

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "Help.h"
#include "HostView.h"
#include "LogControl.h"
#include "LoclView.h"
#include "Main.h"
#include "OptionsDialog.h"
#include "Prompts.h"

namespace ferrowin {
namespace {

QToolButton* ToolButton(QWidget* parent, const QString& text, const QString& hint, QStyle::StandardPixmap icon) {
  auto* button = new QToolButton(parent);
  button->setText(text);
  button->setToolTip(hint);
  button->setIcon(parent->style()->standardIcon(icon));
  button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  button->setAutoRaise(true);
  return button;
}

QHBoxLayout* ToolRow(QWidget* parent) {
  auto* row = new QHBoxLayout;
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(2);
  (void)parent;
  return row;
}

}  // namespace

void TfrmMain::CreateControls() {
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(2, 2, 2, 2);
  MainSplitter = new QSplitter(Qt::Vertical, central);
  MainSplitter->setChildrenCollapsible(false);
  MainSplitter->addWidget(CreateUpperArea());
  ViewSplitter = new QSplitter(Qt::Horizontal, MainSplitter);
  ViewSplitter->addWidget(CreateLocalSide());
  ViewSplitter->addWidget(CreateHostSide());
  ViewSplitter->setChildrenCollapsible(false);
  ViewSplitter->setStretchFactor(0, 1);  // both sides grow alike with the window
  ViewSplitter->setStretchFactor(1, 1);
  MainSplitter->addWidget(ViewSplitter);
  MainSplitter->setStretchFactor(1, 1);
  layout->addWidget(MainSplitter);
  setCentralWidget(central);
  CreateMenus();
  CreateCompareMaskViewerActions();
  connect(MainSplitter, &QSplitter::splitterMoved, this, [this](int pos, int) {
    const int maxHeight = MainSplitter->height() - MainSplitter->handleWidth() - 60;
    LogArea->Drag(pos - LogArea->Height(), maxHeight);
    btnShowLog->setChecked(LogArea->LogShown());
    ApplyLogHeight();
  });
}

QWidget* TfrmMain::CreateUpperArea() {
  auto* area = new QWidget(this);
  auto* layout = new QVBoxLayout(area);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto* top = new QHBoxLayout;
  ToolBar = new QToolBar(area);
  ToolBar->setIconSize(QSize(20, 20));
  btnConnect = ToolBar->addAction(style()->standardIcon(QStyle::SP_DriveNetIcon), QStringLiteral("Connect"));
  btnConnect->setToolTip(QStringLiteral("Connect to a site"));
  btnStop = ToolBar->addAction(style()->standardIcon(QStyle::SP_BrowserStop), QStringLiteral("Stop"));
  btnStop->setToolTip(QStringLiteral("Stop the current operation"));
  btnDisconnect = ToolBar->addAction(style()->standardIcon(QStyle::SP_DialogCloseButton), QStringLiteral("Disconnect"));
  btnDisconnect->setToolTip(QStringLiteral("Disconnect from the host"));
  ToolBar->addSeparator();
  btnShowLog = ToolBar->addAction(style()->standardIcon(QStyle::SP_FileDialogDetailedView), QStringLiteral("Show Log"));
  btnShowLog->setToolTip(QStringLiteral("Show or hide the message log"));
  btnShowLog->setCheckable(true);
  btnShowLog->setChecked(true);
  top->addWidget(ToolBar, 1);
  aniActivity = new QLabel(area);
  aniActivity->setFixedSize(40, 30);
  aniActivity->setAlignment(Qt::AlignCenter);
  top->addWidget(aniActivity);
  layout->addLayout(top);
  auto* bar = new QFrame(area);
  bar->setFrameShape(QFrame::HLine);
  bar->setFixedHeight(4);
  layout->addWidget(bar);
  memoLog = new TLogControl(area);
  memoLog->LogFile = [this] { return QString::fromStdString(Prefs.LogFile); };
  memoLog->OnError = [this](const QString& message) { AppException(message); };
  layout->addWidget(memoLog, 1);
  connect(btnConnect, &QAction::triggered, this, &TfrmMain::btnConnectClick);
  connect(btnStop, &QAction::triggered, this, &TfrmMain::btnStopClick);
  connect(btnDisconnect, &QAction::triggered, this, &TfrmMain::btnDisconnectClick);
  connect(btnShowLog, &QAction::toggled, this, &TfrmMain::btnShowLogClick);
  return area;
}

QWidget* TfrmMain::CreateLocalSide() {
  auto* side = new QWidget(this);
  auto* layout = new QVBoxLayout(side);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* row = ToolRow(side);
  btnLocalNew = ToolButton(side, QStringLiteral("New View"), QStringLiteral("Open a new local view"), QStyle::SP_FileDialogNewFolder);
  btnLocalClose = ToolButton(side, QStringLiteral("Close View"), QStringLiteral("Close this local view"), QStyle::SP_DialogCloseButton);
  row->addWidget(btnLocalNew);
  row->addWidget(btnLocalClose);
  row->addStretch(1);
  layout->addLayout(row);
  pgctrlLocal = new QTabWidget(side);
  pgctrlLocal->setDocumentMode(true);
  layout->addWidget(pgctrlLocal, 1);
  connect(btnLocalNew, &QToolButton::clicked, this, &TfrmMain::btnLocalNewClick);
  connect(btnLocalClose, &QToolButton::clicked, this, &TfrmMain::btnLocalCloseClick);
  connect(pgctrlLocal, &QTabWidget::currentChanged, this, &TfrmMain::pgctrlLocalChange);
  return side;
}

QWidget* TfrmMain::CreateHostSide() {
  auto* side = new QWidget(this);
  auto* layout = new QVBoxLayout(side);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* row = ToolRow(side);
  btnHostNew = ToolButton(side, QStringLiteral("New View"), QStringLiteral("Open a new host view"), QStyle::SP_FileDialogNewFolder);
  btnHostClose = ToolButton(side, QStringLiteral("Close View"), QStringLiteral("Close this host view"), QStyle::SP_DialogCloseButton);
  cmboHostTree = new TTreeCombo(side);
  cmboHostTree->setEnabled(false);
  // Long folder paths must not widen the host side beyond half of a small window.
  cmboHostTree->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  cmboHostTree->setMinimumContentsLength(8);
  row->addWidget(btnHostNew);
  row->addWidget(btnHostClose);
  row->addWidget(cmboHostTree, 1);
  layout->addLayout(row);
  pgctrlHost = new QTabWidget(side);
  pgctrlHost->setDocumentMode(true);
  layout->addWidget(pgctrlHost, 1);
  lblBusy = new QLabel(QStringLiteral("Working..."), side);
  lblBusy->setAlignment(Qt::AlignCenter);
  lblBusy->setAttribute(Qt::WA_TransparentForMouseEvents);
  lblBusy->setFrameShape(QFrame::StyledPanel);
  lblBusy->setAutoFillBackground(true);
  lblBusy->hide();
  // Dropped down over the host tab area, 4 pixels in from each side.
  cmboHostTree->PopupArea = [this] {
    return QRect(pgctrlHost->mapToGlobal(QPoint(4, 0)), QSize(pgctrlHost->width() - 8, 1));
  };
  cmboHostTree->OnChange = [this](TTreeCombo& tree) {
    if (THostView* view = CurrentHostView()) view->TreeChange(tree);
  };
  connect(btnHostNew, &QToolButton::clicked, this, &TfrmMain::btnHostNewClick);
  connect(btnHostClose, &QToolButton::clicked, this, &TfrmMain::btnHostCloseClick);
  connect(pgctrlHost, &QTabWidget::currentChanged, this, &TfrmMain::pgctrlHostChange);
  return side;
}

void TfrmMain::CreateMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  mnuConnect = file->addAction(QStringLiteral("&Connect..."), this, &TfrmMain::btnConnectClick);
  mnuStop = file->addAction(QStringLiteral("&Stop"), this, &TfrmMain::btnStopClick);
  mnuDisconnect = file->addAction(QStringLiteral("&Disconnect"), this, &TfrmMain::btnDisconnectClick);
  mnuLastConnect = file->addMenu(QStringLiteral("&Last Connections"));
  for (int slot = 0; slot < TLastConnections::Count; ++slot) {
    mnuLast[slot] = mnuLastConnect->addAction(QString(), this, [this, slot] { mnuLast1Click(slot); });
    mnuLast[slot]->setVisible(false);
  }
  connect(mnuLastConnect, &QMenu::aboutToShow, this, &TfrmMain::mnuLastConnectClick);
  file->addSeparator();
  mnuExit = file->addAction(QStringLiteral("E&xit"), this, &QWidget::close);
  QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
  mnuShowLog = options->addAction(QStringLiteral("View M&essages Window"));
  mnuShowLog->setShortcut(Qt::Key_F9);
  mnuShowLog->setCheckable(true);
  mnuShowLog->setChecked(true);
  connect(mnuShowLog, &QAction::triggered, this, [this] { btnShowLog->toggle(); });
  mnuPreferences = options->addAction(QStringLiteral("&Preferences..."), this, &TfrmMain::mnuPreferencesClick);
}

void TfrmMain::mnuPreferencesClick() {
  TOptionsContext context;
  context.SettingsFile = SettingsFile;
  context.ApplyToComponents = [](bool passive) {
    for (auto* c : TFTPComponent::FTPComponents()) c->SetPassive(passive);
  };
  context.OnHelp = [](int topic) { ShowHelp(topic); };
  TfrmOptions dialog(Prefs, context, this);
  RunModal(dialog);
}

void TfrmMain::btnShowLogClick(bool shown) {
  if (!LogArea) return;
  LogArea->ShowLog(shown);
  mnuShowLog->setChecked(shown);
  ApplyLogHeight();
}

void TfrmMain::ApplyLogHeight() {
  if (!LogArea) return;
  // The viewer, while shown, takes the log's place.
  const bool viewer = btnExplorer && btnExplorer->isChecked();
  memoLog->setVisible(LogArea->LogShown() && !viewer);
  pnlViewer->setVisible(LogArea->LogShown() && viewer);
  const int total = std::max(MainSplitter->height(), LogArea->Height() + 100);
  MainSplitter->setSizes({LogArea->Height(), total - LogArea->Height()});
  mnuShowLog->setChecked(LogArea->LogShown());
}

void TfrmMain::HostLog(QObject* sender, const std::string& text, TColor color) {
  if (text.empty()) return;
  auto* view = qobject_cast<THostView*>(sender);
  if (view && view != CurrentHostView()) return;  // kept in its own view until it is shown
  memoLog->AddLine(QString::fromStdString(text), color);
}

}  // namespace ferrowin
