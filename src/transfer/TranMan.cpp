// The transfer manager: rows of the shown queue, their images, the context menu and the
// reordering of pending items by drag and drop.

#include "TranMan.h"

#include <QCloseEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QTabBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "Format.h"
#include "Transfer.h"
#include "TransferProgressText.h"

namespace ferrowin {
namespace {

constexpr int ItemRole = Qt::UserRole + 1;

QString RowStatus(const TTransferItem& item) {
  return QString::fromStdString(item.State == isBusy ? BusyStatusText(item) : StateText(item));
}

}  // namespace

TfrmTransferMngr::TfrmTransferMngr() : QWidget(nullptr, Qt::Window) {
  setWindowTitle(QStringLiteral("Transfer Manager"));
  resize(760, 300);  // the busy status text fits
  auto* layout = new QVBoxLayout(this);
  tabQueues = new QTabBar(this);
  tabQueues->setExpanding(false);
  lvItems = new QTreeWidget(this);
  lvItems->setColumnCount(ColumnCount);
  lvItems->setHeaderLabels({QStringLiteral("File"), QStringLiteral("Size"), QStringLiteral("Local Directory"),
                            QStringLiteral("Host Directory"), QStringLiteral("Status")});
  lvItems->headerItem()->setTextAlignment(colSize, Qt::AlignRight | Qt::AlignVCenter);
  lvItems->header()->setStretchLastSection(true);
  lvItems->setRootIsDecorated(false);
  lvItems->setSelectionBehavior(QAbstractItemView::SelectRows);
  lvItems->setSelectionMode(QAbstractItemView::SingleSelection);
  lvItems->setDragEnabled(true);
  lvItems->setDragDropMode(QAbstractItemView::InternalMove);
  lvItems->viewport()->installEventFilter(this);
  lvItems->setContextMenuPolicy(Qt::CustomContextMenu);
  lvItems->setIconSize(QSize(34, 16));
  for (int c = 0; c < colStatus; ++c) lvItems->setColumnWidth(c, c == colFile ? 140 : 110);
  layout->addWidget(tabQueues);
  layout->addWidget(lvItems, 1);
  popItems = new QMenu(this);
  popCancel = popItems->addAction(QStringLiteral("&Cancel"), this, &TfrmTransferMngr::popCancelClick);
  popResubmit = popItems->addAction(QStringLiteral("&Re-submit"), this, &TfrmTransferMngr::popResubmitClick);
  connect(lvItems, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    QTreeWidgetItem* row = lvItems->itemAt(at);
    PrepareMenu(row ? lvItems->indexOfTopLevelItem(row) : -1);
    popItems->popup(lvItems->viewport()->mapToGlobal(at));
  });
  connect(tabQueues, &QTabBar::currentChanged, this, [this](int) { TabChange(); });
  QStyle* s = style();
  const QIcon kinds[] = {s->standardIcon(QStyle::SP_ArrowDown), s->standardIcon(QStyle::SP_ArrowUp),
                         s->standardIcon(QStyle::SP_DirIcon), s->standardIcon(QStyle::SP_DirOpenIcon)};
  const QIcon states[] = {s->standardIcon(QStyle::SP_MediaPause), s->standardIcon(QStyle::SP_MediaPlay),
                          s->standardIcon(QStyle::SP_DialogApplyButton), s->standardIcon(QStyle::SP_DialogCancelButton),
                          s->standardIcon(QStyle::SP_MessageBoxCritical)};
  // The kind image (upload or download, file or folder) beside the state image, as one.
  for (std::size_t kind = 0; kind < RowImages.size(); ++kind)
    for (std::size_t state = 0; state < RowImages[kind].size(); ++state) {
      QPixmap both(34, 16);
      both.fill(Qt::transparent);
      QPainter painter(&both);
      painter.drawPixmap(0, 0, kinds[kind].pixmap(16, 16));
      painter.drawPixmap(18, 0, states[state].pixmap(16, 16));
      RowImages[kind][state] = QIcon(both);
    }
}

int TfrmTransferMngr::TabOf(const TTransferItems& queue) const {
  for (int i = 0; i < tabQueues->count(); ++i)
    if (tabQueues->tabData(i).value<void*>() == &queue) return i;
  return -1;
}

void TfrmTransferMngr::QueueCreated(TTransferItems& queue) {
  {
    const QSignalBlocker quiet(tabQueues);  // the tab has its queue before anyone looks
    const int tab = tabQueues->addTab(QString::fromStdString(queue.Caption()));
    tabQueues->setTabData(tab, QVariant::fromValue(static_cast<void*>(&queue)));
  }
  queue.OnCaptionChange = [this](TTransferItems& q) {
    const int at = TabOf(q);
    if (at >= 0) tabQueues->setTabText(at, QString::fromStdString(q.Caption()));
  };
  if (tabQueues->count() == 1) TabChange();
}

void TfrmTransferMngr::QueueGone(TTransferItems& queue) {
  const int tab = TabOf(queue);
  if (Shown == &queue) {
    Shown = nullptr;
    MenuItem = nullptr;
    lvItems->clear();
  }
  if (tab < 0) return;
  const QSignalBlocker quiet(tabQueues);
  tabQueues->removeTab(tab);
  TabChange();
}

void TfrmTransferMngr::TabChange() {
  lvItems->setUpdatesEnabled(false);
  if (Shown)
    for (auto& item : Shown->Items) item->ListItem = nullptr;
  lvItems->clear();
  Shown = nullptr;
  MenuItem = nullptr;
  if (tabQueues->count() > 0) {
    if (tabQueues->currentIndex() < 0) {
      const QSignalBlocker quiet(tabQueues);
      tabQueues->setCurrentIndex(0);
    }
    Shown = static_cast<TTransferItems*>(tabQueues->tabData(tabQueues->currentIndex()).value<void*>());
    for (auto& item : Shown->Items) AddRow(*item);
  }
  lvItems->setUpdatesEnabled(true);
}

void TfrmTransferMngr::FillRow(QTreeWidgetItem& row, TTransferItem& item) {
  row.setText(colFile, QString::fromStdString(item.SourceName));
  row.setText(colSize, QString::fromStdString(GroupDigits(item.Size)));
  row.setTextAlignment(colSize, Qt::AlignRight | Qt::AlignVCenter);
  const std::string& local = item.IsUpload ? item.SourceFolder : item.DestFolder;
  const std::string& host = item.IsUpload ? item.DestFolder : item.SourceFolder;
  row.setText(colLocal, QString::fromStdString(local));
  row.setText(colHost, QString::fromStdString(host));
  row.setText(colStatus, RowStatus(item));
  row.setData(colFile, ItemRole, QVariant::fromValue(static_cast<void*>(&item)));
  row.setFlags((row.flags() | Qt::ItemIsDragEnabled) & ~Qt::ItemIsDropEnabled);
  row.setIcon(colFile, RowImage(item));
  item.ListItem = &row;
}

void TfrmTransferMngr::AddRow(TTransferItem& item) {
  auto* row = new QTreeWidgetItem(lvItems);
  FillRow(*row, item);
}

void TfrmTransferMngr::SetStatus(TTransferItem& item, const std::string& text) {
  if (auto* row = static_cast<QTreeWidgetItem*>(item.ListItem)) row->setText(colStatus, QString::fromStdString(text));
}

const QIcon& TfrmTransferMngr::RowImage(const TTransferItem& item) const {
  return RowImages[static_cast<std::size_t>(item.IsFolder * 2 + item.IsUpload)][static_cast<std::size_t>(item.State)];
}

void TfrmTransferMngr::ItemState(TTransferItem& item) {
  SetStatus(item, StateText(item));
  RefreshRow(item);
}

void TfrmTransferMngr::RefreshRow(TTransferItem& item) {
  if (auto* row = static_cast<QTreeWidgetItem*>(item.ListItem)) row->setIcon(colFile, RowImage(item));
}

void TfrmTransferMngr::RefreshImages() {
  for (int i = 0; i < lvItems->topLevelItemCount(); ++i)
    if (TTransferItem* item = RowItem(i)) lvItems->topLevelItem(i)->setIcon(colFile, RowImage(*item));
}

int TfrmTransferMngr::RowCount() const { return lvItems->topLevelItemCount(); }

QString TfrmTransferMngr::Text(int row, int column) const {
  QTreeWidgetItem* r = lvItems->topLevelItem(row);
  return r ? r->text(column) : QString();
}

TTransferItem* TfrmTransferMngr::RowItem(int row) const {
  QTreeWidgetItem* r = lvItems->topLevelItem(row);
  return r ? static_cast<TTransferItem*>(r->data(colFile, ItemRole).value<void*>()) : nullptr;
}

void TfrmTransferMngr::PrepareMenu(int row) {
  MenuItem = RowItem(row);
  popCancel->setEnabled(MenuItem && (MenuItem->State == isPending || MenuItem->State == isBusy));
  popResubmit->setEnabled(MenuItem && MenuItem->State == isCancelled);
}

void TfrmTransferMngr::popCancelClick() {
  if (!MenuItem || !popCancel->isEnabled()) return;
  if (MenuItem->State == isBusy) MenuItem->Skip();
  else if (MenuItem->State == isPending) MenuItem->SetState(isCancelled);
  SetStatus(*MenuItem, "Cancelled");
  RefreshImages();
}

void TfrmTransferMngr::popResubmitClick() {
  if (!MenuItem || MenuItem->State != isCancelled) return;
  TTransferItem& item = *MenuItem;
  item.SetState(isPending);
  SetStatus(item, StateText(item));
  if (item.Owner) item.Owner->ProcessNext();
  RefreshImages();
}

void TfrmTransferMngr::DropAt(int target) {
  QTreeWidgetItem* selected = lvItems->currentItem();
  TTransferItem* item = selected ? RowItem(lvItems->indexOfTopLevelItem(selected)) : nullptr;
  if (!item || !item->Owner || !RowItem(target)) return;
  const int from = lvItems->indexOfTopLevelItem(selected);
  lvItems->setUpdatesEnabled(false);
  item->Owner->Move(item->Index(), target);
  // The row goes where its item went.
  QTreeWidgetItem* row = lvItems->takeTopLevelItem(from);
  lvItems->insertTopLevelItem(target, row);
  lvItems->setCurrentItem(row);
  RefreshImages();
  lvItems->setUpdatesEnabled(true);
}

bool TfrmTransferMngr::eventFilter(QObject* watched, QEvent* event) {
  if (watched != lvItems->viewport()) return false;
  if (event->type() == QEvent::DragMove || event->type() == QEvent::DragEnter) {
    auto* drag = static_cast<QDropEvent*>(event);
    QTreeWidgetItem* over = lvItems->itemAt(drag->position().toPoint());
    const bool ok = drag->source() == lvItems && over && RowItem(lvItems->indexOfTopLevelItem(over));
    if (ok) drag->acceptProposedAction();
    else drag->ignore();
    return !ok;
  }
  if (event->type() == QEvent::Drop) {
    auto* drop = static_cast<QDropEvent*>(event);
    QTreeWidgetItem* over = lvItems->itemAt(drop->position().toPoint());
    if (drop->source() == lvItems && over) DropAt(lvItems->indexOfTopLevelItem(over));
    drop->setDropAction(Qt::IgnoreAction);
    drop->accept();
    return true;  // the queue decides the order, not the list's own move
  }
  return false;
}

void TfrmTransferMngr::closeEvent(QCloseEvent* event) {
  event->accept();
  if (OnClose) OnClose();
}

}  // namespace ferrowin
