#pragma once
// TfrmTransferMngr, "Transfer Manager": every item of one queue at a time (a tab per queue),
// with Cancel and Re-submit on a row's context menu and pending items reordered by dragging
// their rows. Created hidden, then hidden rather than destroyed.

#include <QIcon>
#include <QWidget>
#include <array>
#include <functional>
#include <string>

class QAction;
class QMenu;
class QTabBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace ferrowin {

class TTransferItem;
class TTransferItems;

class TfrmTransferMngr : public QWidget {
  Q_OBJECT
 public:
  enum TColumn { colFile = 0, colSize, colLocal, colHost, colStatus, ColumnCount };

  TfrmTransferMngr();

  std::function<void()> OnClose;  // releases the main window's button and menu item

  QTabBar* tabQueues = nullptr;
  QTreeWidget* lvItems = nullptr;
  QMenu* popItems = nullptr;
  QAction* popCancel = nullptr;
  QAction* popResubmit = nullptr;

  void QueueCreated(TTransferItems& queue);
  void QueueGone(TTransferItems& queue);
  void TabChange();
  void AddRow(TTransferItem& item);
  void SetStatus(TTransferItem& item, const std::string& text);
  void RefreshImages();
  void RefreshRow(TTransferItem& item);  // its images
  void ItemState(TTransferItem& item);   // its status text and images
  [[nodiscard]] TTransferItems* ShownQueue() const { return Shown; }
  [[nodiscard]] int RowCount() const;
  [[nodiscard]] QString Text(int row, int column) const;
  [[nodiscard]] TTransferItem* RowItem(int row) const;
  // The context menu for the row under the mouse (-1: none): what it offers.
  void PrepareMenu(int row);
  void popCancelClick();
  void popResubmitClick();
  // Drops the selected row at row target: the item takes that place in its queue.
  void DropAt(int target);

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FillRow(QTreeWidgetItem& row, TTransferItem& item);
  [[nodiscard]] int TabOf(const TTransferItems& queue) const;
  [[nodiscard]] const QIcon& RowImage(const TTransferItem& item) const;

  TTransferItems* Shown = nullptr;
  TTransferItem* MenuItem = nullptr;
  std::array<std::array<QIcon, 5>, 4> RowImages;  // [kind][state]
};

}  // namespace ferrowin
