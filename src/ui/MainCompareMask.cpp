// The main window's compare, mask and viewer commands: their actions, the viewer's place,
// Compare Folders, and the mask dialog and menu.

#include <QAction>
#include <QCheckBox>
#include <QLayout>
#include <QMenu>
#include <QStyle>
#include <QToolButton>

#include "Compare.h"
#include "CompareForm.h"
#include "DataFolder.h"
#include "HostView.h"
#include "LogControl.h"
#include "LoclView.h"
#include "Main.h"
#include "MaskForm.h"
#include "MaskMemory.h"
#include "Prompts.h"

namespace ferrowin {
namespace {

QString FromView(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// A mask as a menu shows it: an "&" of the mask is no mnemonic.
QString MenuText(const QString& text) { return QString(text).replace('&', QStringLiteral("&&")); }

}  // namespace

void TfrmMain::CreateCompareMaskViewerActions() {
  Masks = std::make_unique<TMaskMemory>();
  ViewerStartPage = DataFolder() + QStringLiteral("welcome.html");
  btnExplorer = new QAction(style()->standardIcon(QStyle::SP_FileDialogContentsView), QStringLiteral("Show Viewer"), this);
  btnExplorer->setToolTip(QStringLiteral("Show or hide the internal viewer"));
  btnExplorer->setCheckable(true);
  connect(btnExplorer, &QAction::toggled, this, &TfrmMain::btnExplorerClick);
  mnuShowViewer = new QAction(QStringLiteral("View Internal &Viewer"), this);
  mnuShowViewer->setShortcut(Qt::Key_F10);
  mnuShowViewer->setCheckable(true);
  connect(mnuShowViewer, &QAction::triggered, this, [this] { btnExplorer->toggle(); });
  mnuCompareFolders = new QAction(QStringLiteral("&Compare Folders"), this);
  mnuCompareFolders->setToolTip(QStringLiteral("Select what differs between the local and the remote folder"));
  mnuCompareFolders->setEnabled(false);
  connect(mnuCompareFolders, &QAction::triggered, this, &TfrmMain::mnuCompareFoldersClick);
  mnuLocalMask = new QAction(QStringLiteral("Mas&k files"), this);
  mnuLocalMask->setToolTip(QStringLiteral("Show only the local files that match a mask"));
  connect(mnuLocalMask, &QAction::triggered, this, [this] { btnLocalMaskClick(false); });
  mnuHostMask = new QAction(QStringLiteral("Mas&k files"), this);
  mnuHostMask->setToolTip(QStringLiteral("Show only the remote files that match a mask"));
  connect(mnuHostMask, &QAction::triggered, this, [this] { btnLocalMaskClick(true); });
  popMask = new QMenu(this);
  for (const TReadyMask& ready : ReadyMasks)
    popMask->addAction(FromView(ready.Caption))->setData(QString::fromStdString(MaskOfEntry(ready.Caption)));
  popMask->addSeparator()->setVisible(false);
  for (std::size_t i = 0; i < TMaskMemory::Count; ++i) popMask->addAction(QString())->setVisible(false);
  connect(popMask, &QMenu::triggered, this, &TfrmMain::popArchivesMaskClick);
  pnlViewer = new QWidget(this);
  pnlViewer->setLayout(new QVBoxLayout);
  pnlViewer->layout()->setContentsMargins(0, 0, 0, 0);
  pnlViewer->hide();
}

// The viewer over the log, and the mask menu on the right button of both File Mask buttons
// (the menus, the toolbar and the tool buttons place the actions themselves).
void TfrmMain::PlaceCompareMaskViewerControls() {
  static_cast<QBoxLayout*>(memoLog->parentWidget()->layout())->addWidget(pnlViewer, 1);
  AttachMaskMenu(btnLocalMask, false);
  AttachMaskMenu(btnHostMask, true);
}

void TfrmMain::mnuCompareFoldersClick() {
  TLocalView* local = CurrentLocalView();
  THostView* host = CurrentHostView();
  if (!local || !host || !host->Connected() || host->Animating) return;
  TfrmCompareOptions dialog(this);
  if (RunModal(dialog) != QDialog::Accepted) return;
  CompareFolders(*local, *host, dialog.cbIgnoreSize->isChecked(), dialog.cbIgnoreDate->isChecked());
}

void TfrmMain::btnLocalMaskClick(bool host) {
  TCustomView* view = CurrentView(host ? TSide::Host : TSide::Local);
  if (!view) return;
  TfrmMask dialog(host, QString::fromStdString(view->GetMask()), this);
  const bool accepted = RunModal(dialog) == QDialog::Accepted;
  const QString mask = dialog.Mask();
  if (accepted) view->SetMask(mask.trimmed().toStdString());
  // Remembered whatever the answer: a mask typed and cancelled is still one to offer.
  Masks->Record(mask.toStdString());
  UpdateMaskMenu();
}

void TfrmMain::UpdateMaskMenu() {
  const QList<QAction*> items = popMask->actions();
  const std::vector<std::string>& recent = Masks->Masks();
  items[ReadyMasks.size()]->setVisible(Masks->SeparatorShown());
  for (std::size_t i = 0; i < TMaskMemory::Count; ++i) {
    QAction* item = items[ReadyMasks.size() + 1 + i];
    const QString mask = i < recent.size() ? QString::fromStdString(recent[i]) : QString();
    item->setText(i < recent.size() ? QStringLiteral("&%1 ").arg(TMaskMemory::FirstPosition + i) + MenuText(mask) : QString());
    item->setData(mask.trimmed());
    item->setVisible(i < recent.size());
  }
}

QMenu* TfrmMain::MaskMenu(bool host) {
  MaskMenuHost = host;
  return popMask;
}

void TfrmMain::AttachMaskMenu(QToolButton* button, bool host) {
  button->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(button, &QWidget::customContextMenuRequested, this, [this, button, host] {
    MaskMenu(host)->popup(button->mapToGlobal(button->rect().bottomLeft()));
  });
}

void TfrmMain::popArchivesMaskClick(QAction* item) {
  const std::string mask = item->data().toString().toStdString();
  if (TCustomView* view = CurrentView(MaskMenuHost ? TSide::Host : TSide::Local)) view->SetMask(mask);
}

}  // namespace ferrowin
