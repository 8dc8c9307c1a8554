#include <QApplication>
#include <QDragMoveEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QStackedLayout>
#include <QStyledItemDelegate>
#include <QHelpEvent>
#include <QToolTip>
#include <QTreeView>
#include <algorithm>
#include <numeric>

#include "AllViewsList.h"
#include "Shell.h"

namespace ferrowin {

namespace {
const char* const ItemsMimeType = "application/x-ferrowin-list-items";
}

// ---- TListModel ----

TListModel::TListModel(QObject* parent) : QAbstractTableModel(parent) {}

void TListModel::SetColumns(std::vector<TListColumn> columns) {
  beginResetModel();
  ColumnList = std::move(columns);
  endResetModel();
}

int TListModel::Add(TListItem item) {
  Items.push_back(std::move(item));
  int row = Count() - 1;
  if (Updating()) {
    Dirty = true;
    return row;
  }
  beginInsertRows({}, row, row);
  Shown = Count();
  endInsertRows();
  return row;
}

void TListModel::Clear() {
  // Announced at once even while updating: views must never look at rows that are gone.
  beginResetModel();
  Items.clear();
  Shown = 0;
  endResetModel();
}

void TListModel::Update(int row, const std::function<void(TListItem&)>& change) {
  if (row < 0 || row >= Count()) return;
  change(Items[row]);
  if (row < Shown && !Updating()) emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void TListModel::BeginUpdate() { ++UpdateDepth; }

void TListModel::EndUpdate() {
  if (UpdateDepth == 0 || --UpdateDepth > 0 || !Dirty) return;
  Dirty = false;
  if (Shown == 0) {
    if (Count() == 0) return;
    beginInsertRows({}, 0, Count() - 1);
    Shown = Count();
    endInsertRows();
    return;
  }
  beginResetModel();
  Shown = Count();
  endResetModel();
}

void TListModel::Sort(const std::function<bool(int a, int b)>& less) {
  std::vector<int> order(Items.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), less);
  if (Updating()) {
    std::vector<TListItem> sorted;
    sorted.reserve(Items.size());
    for (int old : order) sorted.push_back(std::move(Items[old]));
    Items = std::move(sorted);
    Dirty = true;
    return;
  }
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  std::vector<int> newRow(Items.size());
  std::vector<TListItem> sorted;
  sorted.reserve(Items.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    newRow[order[i]] = static_cast<int>(i);
    sorted.push_back(std::move(Items[order[i]]));
  }
  Items = std::move(sorted);
  const QModelIndexList from = persistentIndexList();
  QModelIndexList to;
  to.reserve(from.size());
  for (const QModelIndex& i : from)
    to.append(i.row() < static_cast<int>(newRow.size()) ? index(newRow[i.row()], i.column()) : QModelIndex());
  changePersistentIndexList(from, to);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int TListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : Shown; }

int TListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : std::max<int>(1, static_cast<int>(ColumnList.size()));
}

QVariant TListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= Shown || index.row() >= Count()) return {};
  const TListItem& item = Items[index.row()];
  const int column = index.column();
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      if (column == 0) return item.Caption;
      return column - 1 < item.SubItems.size() ? item.SubItems[column - 1] : QString();
    case Qt::DecorationRole:
      if (column == 0 && Images) return Images->Icon(item.ImageIndex, item.OverlayIndex);
      return {};
    case Qt::TextAlignmentRole:
      if (column < static_cast<int>(ColumnList.size()))
        return static_cast<int>(ColumnList[column].Alignment | Qt::AlignVCenter);
      return {};
    default:
      return {};
  }
}

QVariant TListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= static_cast<int>(ColumnList.size())) return {};
  if (role == Qt::DisplayRole) return ColumnList[section].Caption;
  if (role == Qt::TextAlignmentRole) return static_cast<int>(ColumnList[section].Alignment | Qt::AlignVCenter);
  return {};
}

Qt::ItemFlags TListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
  if (index.column() == 0) f |= Qt::ItemIsEditable;
  return f;
}

bool TListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || !index.isValid() || index.column() != 0 || index.row() >= Count()) return false;
  Items[index.row()].Caption = value.toString();
  emit dataChanged(index, index);
  return true;
}

QStringList TListModel::mimeTypes() const { return {ItemsMimeType}; }

QMimeData* TListModel::mimeData(const QModelIndexList& indexes) const {
  // The rows themselves travel with the drag source; the data only marks what it is.
  auto* data = new QMimeData;
  data->setData(ItemsMimeType, QByteArray::number(indexes.size()));
  return data;
}

// ---- TListControl ----

// Lets the control see editors come and go, and refuse an edited caption.
class TCaptionDelegate : public QStyledItemDelegate {
 public:
  explicit TCaptionDelegate(TListControl* control) : QStyledItemDelegate(control), Control(control) {}
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    ++Control->EditorCount;
    return QStyledItemDelegate::createEditor(parent, option, index);
  }
  void destroyEditor(QWidget* editor, const QModelIndex& index) const override {
    --Control->EditorCount;
    QStyledItemDelegate::destroyEditor(editor, index);
  }
  void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
    auto* edit = qobject_cast<QLineEdit*>(editor);
    if (edit && Control->OnEdited && !Control->OnEdited(Control->ItemOf(index), edit->text())) return;
    QStyledItemDelegate::setModelData(editor, model, index);
  }

 private:
  TListControl* Control;
};

TListControl::TListControl(QWidget* parent, QAbstractItemModel* model) : QWidget(parent) {
  if (!model) model = OwnItems = new TListModel(this);
  ItemModel = model;
  SelectionModel = new QItemSelectionModel(ItemModel, this);
  Stack = new QStackedLayout(this);
  Stack->setContentsMargins(0, 0, 0, 0);
  Icons = new QListView(this);
  Report = new QTreeView(this);
  Stack->addWidget(Icons);
  Stack->addWidget(Report);
  SetupViews();
  connect(ItemModel, &QAbstractItemModel::modelReset, this, [this] { UpdateGrid(); });
  connect(ItemModel, &QAbstractItemModel::rowsInserted, this, [this] { UpdateGrid(); });
  SetViewStyle(TViewStyle::List);
}

void TListControl::SetupViews() {
  for (QAbstractItemView* v : {static_cast<QAbstractItemView*>(Icons), static_cast<QAbstractItemView*>(Report)}) {
    // One delegate per view: a view refuses commits from editors of another.
    auto* delegate = new TCaptionDelegate(this);
    v->setSelectionMode(QAbstractItemView::ExtendedSelection);
    v->setSelectionBehavior(QAbstractItemView::SelectRows);
    v->setEditTriggers(QAbstractItemView::NoEditTriggers);
    v->setItemDelegate(delegate);
    v->setDragDropMode(QAbstractItemView::DragDrop);
    v->setDefaultDropAction(Qt::CopyAction);
    v->setDragEnabled(true);
    v->setAcceptDrops(true);
    v->installEventFilter(this);
    v->viewport()->installEventFilter(this);
  }
  Icons->setUniformItemSizes(true);
  Icons->setLayoutMode(QListView::Batched);
  Icons->setBatchSize(2000);
  Icons->setMovement(QListView::Static);
  Icons->setResizeMode(QListView::Adjust);
  Report->setRootIsDecorated(false);
  Report->setItemsExpandable(false);
  Report->setUniformRowHeights(true);
  Report->setAllColumnsShowFocus(true);
  Report->header()->setSectionsClickable(true);
  Report->header()->setStretchLastSection(false);
  connect(Report->header(), &QHeaderView::sectionClicked, this, [this](int column) {
    if (OnColumnClick) OnColumnClick(column);
  });
  connect(Report->header(), &QHeaderView::sectionResized, this, [this](int column, int, int width) {
    if (Style == TViewStyle::Report && !ApplyingWidths && Report->model()) SetColumnWidth(column, width);
  });
}

int TListControl::ColumnCount() const { return ItemModel->columnCount(QModelIndex()); }

int TListControl::ColumnWidth(int column) const {
  if (column >= 0 && column < static_cast<int>(Widths.size()) && Widths[column] > 0) return Widths[column];
  if (OwnItems && column >= 0 && column < static_cast<int>(OwnItems->Columns().size()))
    return OwnItems->Columns()[column].Width;
  return 100;
}

void TListControl::SetColumnWidth(int column, int width) {
  if (column < 0 || width <= 0) return;
  if (column >= static_cast<int>(Widths.size())) Widths.resize(column + 1, 0);
  Widths[column] = width;
  if (Style == TViewStyle::Report && !ApplyingWidths && Report->columnWidth(column) != width) {
    ApplyingWidths = true;
    Report->setColumnWidth(column, width);
    ApplyingWidths = false;
  }
}

void TListControl::ApplyColumnWidths() {
  ApplyingWidths = true;
  for (int c = 0; c < ColumnCount(); ++c) Report->setColumnWidth(c, ColumnWidth(c));
  ApplyingWidths = false;
}

void TListControl::ClearHandlers() {
  OnEditing = nullptr;
  OnEdited = nullptr;
  OnDblClick = nullptr;
  OnKeyDown = nullptr;
  OnKeyPress = nullptr;
  OnMouseDown = nullptr;
  OnEnter = nullptr;
  OnExit = nullptr;
  OnDragOver = nullptr;
  OnDragDrop = nullptr;
  OnColumnClick = nullptr;
  OnContextPopup = nullptr;
}

void TListControl::SetRoot(const QModelIndex& root) {
  RootIndex = root;
  CurrentView()->setRootIndex(root);
  UpdateGrid();
}

QAbstractItemView* TListControl::CurrentView() const {
  return Style == TViewStyle::Report ? static_cast<QAbstractItemView*>(Report) : Icons;
}

void TListControl::Attach(QAbstractItemView* view) {
  if (view->model() == ItemModel) return;
  view->setModel(ItemModel);
  QItemSelectionModel* own = view->selectionModel();
  view->setSelectionModel(SelectionModel);
  if (own && own != SelectionModel) own->deleteLater();
  view->setRootIndex(RootIndex);
}

void TListControl::Detach(QAbstractItemView* view) {
  // A hidden view would still lay out every row the model announces.
  if (view->model() != ItemModel) return;
  view->setModel(nullptr);
}

void TListControl::SetViewStyle(TViewStyle style) {
  Style = style;
  if (style == TViewStyle::Report) {
    ApplyingWidths = true;  // attaching resets the header's sections
    Detach(Icons);
    Attach(Report);
    ApplyColumnWidths();
    Stack->setCurrentWidget(Report);
    return;
  }
  Detach(Report);
  Attach(Icons);
  const bool large = style == TViewStyle::Icon;
  Icons->setViewMode(large ? QListView::IconMode : QListView::ListMode);
  Icons->setMovement(QListView::Static);
  Icons->setFlow(style == TViewStyle::List ? QListView::TopToBottom : QListView::LeftToRight);
  Icons->setWrapping(true);
  Icons->setWordWrap(large);
  Icons->setIconSize(large ? QSize(32, 32) : QSize(16, 16));
  Icons->setSpacing(large ? 4 : 0);
  UpdateGrid();
  Stack->setCurrentWidget(Icons);
}

void TListControl::UpdateGrid() {
  if (Style == TViewStyle::Report) return;
  const QFontMetrics metrics(Icons->font());
  if (Style == TViewStyle::Icon) {
    Icons->setGridSize(QSize(std::max(76, metrics.averageCharWidth() * 12), 32 + 2 * metrics.height() + 8));
    return;
  }
  // Columns as wide as the longest caption, so names are not cut; a sample is enough for
  // very long folders.
  int widest = -1, widestWidth = 0;
  const int count = std::min(ItemCount(), 20000);
  for (int i = 0; i < count; ++i) {
    const int w = metrics.horizontalAdvance(Caption(i));
    if (w > widestWidth) widest = i, widestWidth = w;
  }
  // As wide as the item delegate needs for the longest name (icon and margins included),
  // cut only when even the pane's whole width would not hold it (the tool tip has it).
  const int needed = widest < 0 ? 0 : Icons->sizeHintForIndex(Index(widest)).width() + 8;
  const int room = std::max(320, Icons->viewport()->width() - 8);
  Icons->setGridSize(QSize(std::max(108, std::min(needed, room)), std::max(18, metrics.height() + 4)));
}

int TListControl::ItemCount() const { return ItemModel->rowCount(RootIndex); }

QModelIndex TListControl::Index(int item, int column) const {
  if (item < 0) return {};
  return ItemModel->index(item, column, RootIndex);
}

int TListControl::ItemOf(const QModelIndex& index) const {
  return index.isValid() && index.parent() == RootIndex ? index.row() : -1;
}

QString TListControl::Caption(int item) const { return Index(item).data(Qt::DisplayRole).toString(); }

std::vector<int> TListControl::SelectedItems() const {
  const int count = ItemCount();
  std::vector<char> marks(count, 0);
  for (const QItemSelectionRange& range : SelectionModel->selection()) {
    if (range.parent() != RootIndex) continue;
    for (int r = std::max(0, range.top()); r <= std::min(range.bottom(), count - 1); ++r) marks[r] = 1;
  }
  std::vector<int> rows;
  for (int r = 0; r < count; ++r)
    if (marks[r]) rows.push_back(r);
  return rows;
}

int TListControl::SelCount() const {
  const QItemSelection selection = SelectionModel->selection();
  if (selection.size() == 1 && selection.front().parent() == RootIndex) return selection.front().height();
  return static_cast<int>(SelectedItems().size());
}

bool TListControl::IsSelected(int item) const {
  return item >= 0 && SelectionModel->isRowSelected(item, RootIndex);
}

void TListControl::SetSelected(int item, bool selected) {
  if (item < 0 || item >= ItemCount()) return;
  SelectionModel->select(Index(item), (selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                                          QItemSelectionModel::Rows);
}

int TListControl::Selected() const { return GetNextItem(-1, TItemState::Selected); }

int TListControl::Focused() const { return ItemOf(SelectionModel->currentIndex()); }

void TListControl::SetFocused(int item) {
  SelectionModel->setCurrentIndex(Index(item), QItemSelectionModel::NoUpdate);
}

int TListControl::GetNextItem(int start, TItemState state) const {
  const int count = ItemCount();
  for (int r = std::max(0, start + 1); r < count; ++r)
    if (state == TItemState::Any || IsSelected(r)) return r;
  return -1;
}

void TListControl::SelectAll() {
  const int count = ItemCount();
  if (count == 0) return;
  SelectionModel->select(QItemSelection(Index(0), Index(count - 1, ItemModel->columnCount(RootIndex) - 1)),
                         QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TListControl::InvertSelection() {
  const int count = ItemCount();
  const int lastColumn = ItemModel->columnCount(RootIndex) - 1;
  std::vector<int> selected = SelectedItems();
  QItemSelection inverted;
  int from = 0;
  auto addRun = [&](int first, int last) {
    if (first <= last) inverted.append(QItemSelectionRange(Index(first), Index(last, lastColumn)));
  };
  for (int row : selected) {
    addRun(from, row - 1);
    from = row + 1;
  }
  addRun(from, count - 1);
  SelectionModel->select(inverted, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TListControl::ClearSelection() { SelectionModel->clearSelection(); }

QRect TListControl::ItemRect(int item) const { return CurrentView()->visualRect(Index(item)); }

bool TListControl::EditCaption(int item) {
  if (item < 0 || item >= ItemCount()) return false;
  if (OnEditing && !OnEditing(item)) return false;
  QAbstractItemView* view = CurrentView();
  view->scrollTo(Index(item));
  view->edit(Index(item));
  return IsEditing();
}

bool TListControl::IsEditing() const { return EditorCount > 0; }

void TListControl::SetAutoDrag(bool on) {
  Icons->setDragEnabled(on);
  Report->setDragEnabled(on);
}

void TListControl::PopupAt(QPoint pos) {
  if (OnContextPopup) OnContextPopup(pos);
  if (PopupMenu) PopupMenu->popup(CurrentView()->viewport()->mapToGlobal(pos));
}

TListControl* TListControl::DragSource(const QObject* source) {
  for (const QObject* o = source; o; o = o->parent())
    if (auto* control = qobject_cast<const TListControl*>(o)) return const_cast<TListControl*>(control);
  return nullptr;
}

bool TListControl::FilterKey(QKeyEvent* event) {
  if (IsEditing()) return false;
  int key = event->key();
  if (OnKeyDown) OnKeyDown(key, event->modifiers());
  if (key == 0) return true;
  if (!event->text().isEmpty() && OnKeyPress) {
    QChar c = event->text().front();
    OnKeyPress(c);
    if (c.isNull()) return true;
  }
  return false;
}

bool TListControl::ShowCaptionTip(QHelpEvent* event, QWidget* viewport) {
  const QModelIndex index = Icons->indexAt(event->pos());
  const QRect rect = Icons->visualRect(index);
  // Only a name cut short needs a tip: one the item delegate wants more room for.
  if (index.isValid() && Icons->sizeHintForIndex(index).width() > rect.width())
    QToolTip::showText(event->globalPos(), index.data(Qt::DisplayRole).toString(), viewport, rect);
  else
    QToolTip::hideText();
  return true;
}

bool TListControl::FilterDrag(QEvent* event) {
  auto* drag = static_cast<QDropEvent*>(event);
  TListControl* source = DragSource(drag->source());
  const QPoint pos = drag->position().toPoint();
  bool accept = false;
  if (OnDragOver) OnDragOver(source, pos, accept);
  // Only ever a copy: a move would make the source view remove its rows.
  drag->setDropAction(Qt::CopyAction);
  drag->setAccepted(accept);
  if (accept && event->type() == QEvent::Drop && OnDragDrop) OnDragDrop(source, pos);
  return true;
}

bool TListControl::eventFilter(QObject* watched, QEvent* event) {
  const bool isViewport = watched == Icons->viewport() || watched == Report->viewport();
  switch (event->type()) {
    case QEvent::KeyPress:
      if (!isViewport) return FilterKey(static_cast<QKeyEvent*>(event));
      break;
    case QEvent::FocusIn:
      if (!isViewport && OnEnter) OnEnter();
      break;
    case QEvent::FocusOut:
      if (!isViewport && OnExit) OnExit();
      break;
    case QEvent::MouseButtonPress:
      if (isViewport && OnMouseDown) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        auto button = mouse->button();
        auto shift = mouse->modifiers();
        auto pos = mouse->position().toPoint();
        QMetaObject::invokeMethod(this, [this, button, shift, pos] {
          if (OnMouseDown) OnMouseDown(button, shift, pos);
        }, Qt::QueuedConnection);
      }
      break;
    case QEvent::MouseButtonRelease:
      if (isViewport && static_cast<QMouseEvent*>(event)->button() == Qt::RightButton)
        PopupAt(static_cast<QMouseEvent*>(event)->position().toPoint());
      break;
    case QEvent::MouseButtonDblClick:
      if (isViewport && OnDblClick) {
        // The first click of the pair has selected the entry by now.
        QMetaObject::invokeMethod(this, [this] {
          if (OnDblClick) OnDblClick();
        }, Qt::QueuedConnection);
        return true;
      }
      break;
    case QEvent::Resize:
      if (watched == Icons->viewport()) UpdateGrid();
      break;
    case QEvent::ToolTip:
      if (watched == Icons->viewport()) return ShowCaptionTip(static_cast<QHelpEvent*>(event), static_cast<QWidget*>(watched));
      break;
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
      if (isViewport) return FilterDrag(event);
      break;
    default:
      break;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace ferrowin
