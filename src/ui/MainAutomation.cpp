// The main window of a copy started for an automation client: no menu, no local side, no
// log; the host list with the open/save panel under it.

#include "MainAutomation.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>

#include "HostView.h"
#include "LogControl.h"
#include "Main.h"

namespace ferrowin {
namespace {

std::string FileNamePart(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

QString NameBoxText(const std::vector<std::string>& names, int count) {
  QString text;
  for (const std::string& name : names) text += QStringLiteral("\"%1\" ").arg(QString::fromStdString(FileNamePart(name)));
  text = text.trimmed();
  if (count == 1 && text.size() >= 2) text = text.mid(1, text.size() - 2);
  return text;
}

TAutomationPanel::TAutomationPanel(TfrmMain& main) : QWidget(&main), Main(main) {
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(6, 4, 6, 6);  // the buttons sit 6 pixels from the right edge
  grid->setHorizontalSpacing(6);
  lblFileName = new QLabel(QStringLiteral("File &Name :"), this);
  lblFileTypes = new QLabel(QStringLiteral("File &Types:"), this);
  editFileName = new QLineEdit(this);
  cmboFileTypes = new QComboBox(this);
  cmboFileTypes->addItem(QStringLiteral("All Files (*.*)"));
  lblFileName->setBuddy(editFileName);
  lblFileTypes->setBuddy(cmboFileTypes);
  btnOpen = new QPushButton(QStringLiteral("Open"), this);
  btnCancel = new QPushButton(QStringLiteral("&Cancel"), this);
  btnOpen->setDefault(true);
  grid->addWidget(lblFileName, 0, 0);
  grid->addWidget(editFileName, 0, 1);
  grid->addWidget(btnOpen, 0, 2);
  grid->addWidget(lblFileTypes, 1, 0);
  grid->addWidget(cmboFileTypes, 1, 1);
  grid->addWidget(btnCancel, 1, 2);
  grid->setColumnStretch(1, 1);
  connect(btnOpen, &QPushButton::clicked, this, &TAutomationPanel::btnOpenClick);
  connect(btnCancel, &QPushButton::clicked, this, &TAutomationPanel::btnCancelClick);
  main.installEventFilter(this);
}

bool TAutomationPanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched != &Main || event->type() != QEvent::Close) return false;
  event->ignore();
  Main.hide();
  btnCancelClick();
  return true;
}

void TAutomationPanel::SetDialogAction(TDialogAction action) {
  Action = action;
  btnOpen->setText(action == TDialogAction::daOpen ? QStringLiteral("Open") : QStringLiteral("Save"));
  for (int i = 0; i < Main.pgctrlHost->count(); ++i)
    if (THostView* view = Main.HostViewAt(i)) ApplySelectionMode(*view);
  const bool readOnly = action == TDialogAction::daSave;
  editFileName->setReadOnly(readOnly);
  QPalette colours = editFileName->palette();
  colours.setColor(QPalette::Base, palette().color(readOnly ? QPalette::Button : QPalette::Base));
  editFileName->setPalette(colours);
}

void TAutomationPanel::ApplySelectionMode(THostView& view) const {
  const auto mode =
      Action == TDialogAction::daSaveAs ? QAbstractItemView::SingleSelection : QAbstractItemView::ExtendedSelection;
  view.ListView()->IconView()->setSelectionMode(mode);
  view.ListView()->ReportView()->setSelectionMode(mode);
}

void TAutomationPanel::SetSaveAsFileName(const std::string& name) {
  SaveAs = name;
  if (Action != TDialogAction::daSaveAs) return;
  if (THostView* view = Main.CurrentHostView()) {
    view->ListView()->ClearSelection();
    view->UpdateStatus();
  }
  editFileName->setText(QString::fromStdString(name));
}

void TAutomationPanel::AddToSaveList(const std::string& name) {
  if (!SaveList) SaveList.emplace();
  SaveList->push_back(name);
}

void TAutomationPanel::RefreshNames(THostView& view, int selectedCount) {
  if (!isVisibleTo(&Main)) return;
  if (Action == TDialogAction::daSave) {
    const std::vector<std::string> none;
    const auto& names = SaveList ? *SaveList : none;
    editFileName->setText(NameBoxText(names, static_cast<int>(names.size())));
    return;
  }
  std::vector<std::string> names;
  for (int item : view.ListView()->SelectedItems())
    if (!view.ItemIsFolder(item)) names.push_back(view.GetItemName(item));
  editFileName->setText(NameBoxText(names, selectedCount));
}

void TAutomationPanel::btnOpenClick() {
  if (THostView* view = Main.CurrentHostView()) {
    TListControl* list = view->ListView();
    for (int item : list->SelectedItems())
      if (view->ItemIsFolder(item)) list->SetSelected(item, false);
  }
  if (Action == TDialogAction::daSaveAs) SaveAs = editFileName->text().toStdString();
  if (OnAccept) OnAccept();
}

void TAutomationPanel::btnCancelClick() {
  if (OnCancel) OnCancel();
}

// No menu, no local side, no log, toolbar, host tab buttons or status bar: the host list,
// its folder box and the open/save panel, centred at 600 x 400 without minimize or maximize.
void TfrmMain::BecomeAutomationDialog() {
  LogArea = std::make_unique<TLogArea>(0, 4, 0);
  menuBar()->hide();
  statusBar()->hide();
  MainSplitter->widget(0)->hide();  // the toolbar and the log
  MainSplitter->handle(1)->hide();
  for (int i = 0; i < ViewSplitter->count(); ++i)
    if (!ViewSplitter->widget(i)->isAncestorOf(pgctrlHost)) ViewSplitter->widget(i)->hide();
  btnHostNew->hide();
  btnHostClose->hide();
  pnlOpenSave = new TAutomationPanel(*this);
  centralWidget()->layout()->addWidget(pnlOpenSave);
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  resize(600, 400);
  if (QScreen* shown = screen()) move(shown->availableGeometry().center() - rect().center());
}

}  // namespace ferrowin
