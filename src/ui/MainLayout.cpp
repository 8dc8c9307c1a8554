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
#include <QToolButton>
#include <QVBoxLayout>

#include "Help.h"
#include "HostView.h"
#include "LogControl.h"
#include "LoclView.h"
#include "Main.h"
#include "OptionsDialog.h"
#include "Prompts.h"
#include "ToolPanel.h"
#include "TransferWindows.h"

namespace ferrowin {
void TfrmMain::CreateControls() {
  CreateTransferWindowActions();
  CreateCompareMaskViewerActions();
  CreateMenus();  // the tool buttons beside the lists share the menus' commands
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
  CreateContextMenus();
  PlaceCompareMaskViewerControls();
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
  CreateToolBar(area);
  top->addWidget(ToolBar, 1);
  aniActivity = new QLabel(area);
  aniActivity->setFixedSize(40, 30);
  aniActivity->setAlignment(Qt::AlignCenter);
  top->addWidget(aniActivity);
  layout->addLayout(top);
  auto* bar = new TBarGrip(area);
  bar->OnDrag = [this](int y) { BarMoveToolMouseMove(y); };
  layout->addWidget(bar);
  memoLog = new TLogControl(area);
  memoLog->LogFile = [this] { return QString::fromStdString(Prefs.LogFile); };
  memoLog->OnError = [this](const QString& message) { AppException(message); };
  layout->addWidget(memoLog, 1);
  return area;
}

QWidget* TfrmMain::CreateLocalSide() {
  auto* side = new QWidget(this);
  auto* layout = new QVBoxLayout(side);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addLayout(CreateSideTools(TSide::Local, side));
  pgctrlLocal = new QTabWidget(side);
  pgctrlLocal->setDocumentMode(true);
  layout->addWidget(pgctrlLocal, 1);
  connect(pgctrlLocal, &QTabWidget::currentChanged, this, &TfrmMain::pgctrlLocalChange);
  return side;
}

QWidget* TfrmMain::CreateHostSide() {
  auto* side = new QWidget(this);
  auto* layout = new QVBoxLayout(side);
  layout->setContentsMargins(0, 0, 0, 0);
  cmboHostTree = new TTreeCombo(side);
  cmboHostTree->setEnabled(false);
  // Long folder paths must not widen the host side beyond half of a small window.
  cmboHostTree->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  cmboHostTree->setMinimumContentsLength(8);
  layout->addLayout(CreateSideTools(TSide::Host, side));
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
  connect(pgctrlHost, &QTabWidget::currentChanged, this, &TfrmMain::pgctrlHostChange);
  return side;
}

void TfrmMain::mnuPreferencesClick() {
  TOptionsContext context;
  context.SettingsFile = SettingsFile;
  context.ApplyToComponents = [](bool passive) {
    for (auto* c : TFTPComponent::FTPComponents()) c->SetPassive(passive);
  };
  context.OnHelp = [](int topic) { ShowHelp(topic); };
  context.TransferWindowPinned = [this] {
    return TransferWindows && TransferWindows->Progress && TransferWindows->Progress->btnPin->isChecked();
  };
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
