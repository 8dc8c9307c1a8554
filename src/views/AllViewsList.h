#pragma once
// The list control of the folder views: one item model and one selection model, shown in
// one of four styles (large icons, small icons, list, details). The styles share model and
// selection, so switching keeps what is selected.

#include <QAbstractTableModel>
#include <QItemSelectionModel>
#include <QPersistentModelIndex>
#include <QWidget>
#include <functional>
#include <vector>

#include <QAbstractItemView>
class QHelpEvent;
class QListView;
class QMenu;
class QStackedLayout;
class QTreeView;

namespace ferrowin {

class TImageList;

// One row of a list model.
struct TListItem {
  QString Caption;
  void* Data = nullptr;  // not owned
  int ImageIndex = -1;
  int OverlayIndex = 0;
  QStringList SubItems;  // the columns after the first
};

struct TListColumn {
  QString Caption;
  Qt::Alignment Alignment = Qt::AlignLeft;
  int Width = 100;
};

// The items of a list control that keeps its own rows (the host view's). While updates are
// suspended, added rows stay out of sight until EndUpdate announces them all at once.
class TListModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit TListModel(QObject* parent = nullptr);

  void SetColumns(std::vector<TListColumn> columns);
  [[nodiscard]] const std::vector<TListColumn>& Columns() const { return ColumnList; }
  void SetImages(const TImageList* images) { Images = images; }  // shared, not owned

  int Add(TListItem item);
  void Clear();
  [[nodiscard]] int Count() const { return static_cast<int>(Items.size()); }
  [[nodiscard]] const TListItem& Item(int row) const { return Items[row]; }
  // Changes a row in place and redraws it.
  void Update(int row, const std::function<void(TListItem&)>& change);
  void BeginUpdate();
  void EndUpdate();
  [[nodiscard]] bool Updating() const { return UpdateDepth > 0; }
  // Reorders the rows by less(a, b) on current row numbers; stable. Selection follows rows.
  void Sort(const std::function<bool(int a, int b)>& less);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QModelIndexList& indexes) const override;
  Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }

 private:
  std::vector<TListItem> Items;
  std::vector<TListColumn> ColumnList;
  const TImageList* Images = nullptr;
  int UpdateDepth = 0;
  int Shown = 0;  // rows the views know of
  bool Dirty = false;
};

enum class TViewStyle { Icon, SmallIcon, List, Report };
enum class TItemState { Any, Selected };

// The list control. Rows are the children of Root() in Model(); "item" means a row number,
// -1 for none.
class TListControl : public QWidget {
  Q_OBJECT
 public:
  // Without a model the control makes and owns a TListModel.
  explicit TListControl(QWidget* parent, QAbstractItemModel* model = nullptr);

  [[nodiscard]] TListModel* Items() const { return OwnItems; }
  [[nodiscard]] QAbstractItemModel* Model() const { return ItemModel; }
  [[nodiscard]] QItemSelectionModel* Selection() const { return SelectionModel; }
  void SetRoot(const QModelIndex& root);
  [[nodiscard]] QModelIndex Root() const { return RootIndex; }

  void SetViewStyle(TViewStyle style);
  [[nodiscard]] TViewStyle ViewStyle() const { return Style; }
  [[nodiscard]] QAbstractItemView* CurrentView() const;
  [[nodiscard]] QListView* IconView() const { return Icons; }
  [[nodiscard]] QTreeView* ReportView() const { return Report; }
  // Column widths of the details style, kept whatever the style shown (a hidden header has
  // no columns to read them from).
  [[nodiscard]] int ColumnCount() const;
  [[nodiscard]] int ColumnWidth(int column) const;
  void SetColumnWidth(int column, int width);

  [[nodiscard]] int ItemCount() const;
  [[nodiscard]] QModelIndex Index(int item, int column = 0) const;
  [[nodiscard]] int ItemOf(const QModelIndex& index) const;
  [[nodiscard]] QString Caption(int item) const;

  [[nodiscard]] int SelCount() const;
  [[nodiscard]] std::vector<int> SelectedItems() const;  // ascending
  [[nodiscard]] bool IsSelected(int item) const;
  void SetSelected(int item, bool selected);
  [[nodiscard]] int Selected() const;  // the first selected item
  [[nodiscard]] int Focused() const;
  void SetFocused(int item);
  // The next item after start (-1: from the first) in the state; -1 when there is none.
  [[nodiscard]] int GetNextItem(int start, TItemState state) const;
  void SelectAll();
  void InvertSelection();
  void ClearSelection();
  // The item's selection rectangle in the coordinates of the shown view's viewport.
  [[nodiscard]] QRect ItemRect(int item) const;

  // Caption editing: OnEditing may refuse; OnEdited may refuse the new text.
  bool EditCaption(int item);
  [[nodiscard]] bool IsEditing() const;
  std::function<bool(int item)> OnEditing;
  std::function<bool(int item, const QString& text)> OnEdited;

  void SetAutoDrag(bool on);
  QMenu* PopupMenu = nullptr;  // not owned
  // Opens the popup menu as a right click at pos (viewport coordinates) would.
  void PopupAt(QPoint pos);

  // Handlers. OnKeyDown and OnKeyPress consume a key by setting it to 0; OnMouseDown and
  // OnDblClick run once the list itself has handled the click.
  std::function<void()> OnDblClick;
  std::function<void(int& key, Qt::KeyboardModifiers shift)> OnKeyDown;
  std::function<void(QChar& key)> OnKeyPress;
  std::function<void(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint pos)> OnMouseDown;
  std::function<void()> OnEnter;
  std::function<void()> OnExit;
  std::function<void(TListControl* source, QPoint pos, bool& accept)> OnDragOver;
  std::function<void(TListControl* source, QPoint pos)> OnDragDrop;
  std::function<void(int column)> OnColumnClick;
  std::function<void(QPoint pos)> OnContextPopup;

  // Drops every handler (the owner is going; focus changes while the list goes must not
  // reach it).
  void ClearHandlers();

  // The list control a drag came from, or null when it came from elsewhere.
  static TListControl* DragSource(const QObject* source);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Attach(QAbstractItemView* view);
  void Detach(QAbstractItemView* view);
  bool FilterKey(QKeyEvent* key);
  bool FilterDrag(QEvent* event);
  bool ShowCaptionTip(QHelpEvent* event, QWidget* viewport);
  void SetupViews();
  void UpdateGrid();
  void ApplyColumnWidths();
  friend class TCaptionDelegate;
  std::vector<int> Widths;  // 0: the column's default
  bool ApplyingWidths = false;
  int EditorCount = 0;

  QAbstractItemModel* ItemModel;
  TListModel* OwnItems = nullptr;
  QItemSelectionModel* SelectionModel;
  QPersistentModelIndex RootIndex;
  QStackedLayout* Stack;
  QListView* Icons;
  QTreeView* Report;
  TViewStyle Style = TViewStyle::List;
};

}  // namespace ferrowin
