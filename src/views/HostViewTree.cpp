// The folder tree drop-down and the host view's part in filling it.

#include <QMouseEvent>
#include <QStandardItemModel>
#include <QStylePainter>
#include <QTreeView>
#include <unordered_map>

#include "HostView.h"
#include "Shell.h"

namespace ferrowin {

TTreeCombo::TTreeCombo(QWidget* parent) : QComboBox(parent) {
  NodeModel = new QStandardItemModel(this);
  TreeView = new QTreeView(this);
  TreeView->setHeaderHidden(true);
  TreeView->setEditTriggers(QAbstractItemView::NoEditTriggers);
  setModel(NodeModel);
  setView(TreeView);
  // After the combo box's own filter, so this one sees the clicks first.
  TreeView->viewport()->installEventFilter(this);
  setMinimumContentsLength(30);
}

QStandardItem* TTreeCombo::SelectedNode() const { return Selection; }

void TTreeCombo::SetSelectedNode(QStandardItem* node) {
  Selection = node;
  const QSignalBlocker block(this);
  if (!node) {
    setRootModelIndex({});
    setCurrentIndex(-1);
    return;
  }
  // A combo box selects within one level: show the node's level for a moment.
  setRootModelIndex(node->parent() ? node->parent()->index() : QModelIndex());
  setCurrentIndex(node->row());
  setRootModelIndex({});
}

void TTreeCombo::SetCut(QStandardItem* node, bool cut) {
  node->setData(cut, CutRole);
  node->setForeground(cut ? palette().brush(QPalette::Disabled, QPalette::Text) : palette().brush(QPalette::Text));
}

void TTreeCombo::Clear() {
  SetSelectedNode(nullptr);
  NodeModel->clear();
}

void TTreeCombo::ChooseNode(QStandardItem* node) {
  SetSelectedNode(node);
  if (OnChange) OnChange(*this);
}

void TTreeCombo::showPopup() {
  setRootModelIndex({});
  TreeView->expandAll();
  if (Selection) TreeView->setCurrentIndex(Selection->index());
  PressedInPopup = false;
  const QRect area = PopupArea ? PopupArea() : QRect();
  if (area.isValid()) view()->setMinimumWidth(area.width());
  QComboBox::showPopup();
  if (area.isValid()) view()->window()->move(area.left(), view()->window()->y());
}

QString TTreeCombo::ShownText() const {
  const QString path = Selection ? Selection->data(PathRole).toString() : QString();
  return path.isEmpty() ? currentText() : path;
}

void TTreeCombo::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionComboBox option;
  initStyleOption(&option);
  option.currentText = ShownText();
  painter.drawComplexControl(QStyle::CC_ComboBox, option);
  painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

bool TTreeCombo::eventFilter(QObject* watched, QEvent* event) {
  if (watched == TreeView->viewport() && event->type() == QEvent::MouseButtonPress) PressedInPopup = true;
  if (watched == TreeView->viewport() && event->type() == QEvent::MouseButtonRelease) {
    // The popup opens under the pointer: the release of the opening click lands on a node.
    if (!PressedInPopup) return true;
    const QModelIndex index = TreeView->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint());
    if (!index.isValid()) return true;
    hidePopup();
    ChooseNode(NodeModel->itemFromIndex(index));
    return true;
  }
  return QComboBox::eventFilter(watched, event);
}

namespace {
// Where a caption goes among a node's children, which are kept in alphabetical order (a
// thousand subfolders would make sorting after every insertion slow).
int SortedRow(QStandardItem* parent, const QString& caption) {
  int low = 0, high = parent->rowCount();
  while (low < high) {
    const int middle = (low + high) / 2;
    if (QString::localeAwareCompare(parent->child(middle)->text(), caption) <= 0) low = middle + 1;
    else high = middle;
  }
  return low;
}
}  // namespace

void THostView::SetTreeCombo(TTreeCombo* tree) { Tree = tree; }

void THostView::TreeChange(TTreeCombo& tree) {
  if (QStandardItem* node = tree.SelectedNode()) ChangeFolder(node->data(TTreeCombo::PathRole).toString().toStdString());
}

bool THostView::TabVisible() const { return Sheet()->isVisibleTo(Sheet()->window()) || Sheet()->isWindow(); }

void THostView::RebuildTree() {
  if (!Tree) return;
  auto change = std::move(Tree->OnChange);
  Tree->OnChange = nullptr;
  Tree->setUpdatesEnabled(false);
  Tree->Clear();
  for (const auto& [path, node] : Known) AddTreePath(path, false);
  AddTreePath(FolderText, true);
  Tree->setUpdatesEnabled(true);
  Tree->OnChange = std::move(change);
}

void THostView::AddTreePath(const std::string& path, bool select) {
  if (!Tree || !TabVisible() || !Connected()) return;
  TShellImages& images = TShellImages::Instance();
  QStandardItemModel* nodes = Tree->Nodes();
  const std::string rootPath(1, Seperator());
  if (nodes->rowCount() == 0) {
    auto* root = new QStandardItem(images.Icon(images.NetworkIndex()), QStringLiteral("Server"));
    root->setData(QString::fromStdString(rootPath), TTreeCombo::PathRole);
    nodes->appendRow(root);
    TreeChildren.clear();
    Known[rootPath] = root;
    Tree->SetCut(root, !HasListing(rootPath));
  }
  QStandardItem* current = nodes->item(0);
  std::string soFar = rootPath;
  std::size_t start = 0;
  while (start < path.size()) {
    std::size_t end = path.find(Seperator(), start);
    if (end == std::string::npos) end = path.size();
    const std::string component = path.substr(start, end - start);
    start = end + 1;
    if (component.empty()) continue;
    soFar += component + Seperator();
    const QString caption = QString::fromStdString(component);
    QStandardItem*& child = TreeChildren[current][caption];
    if (!child) {
      child = new QStandardItem(images.Icon(images.ClosedFolderIndex()), caption);
      child->setData(QString::fromStdString(soFar), TTreeCombo::PathRole);
      current->insertRow(SortedRow(current, caption), child);
      Known[soFar] = child;
    }
    Tree->SetCut(child, !HasListing(soFar));
    current = child;
  }
  if (select) {
    Tree->Tree()->expand(current->index());
    Tree->SetSelectedNode(current);
  }
}

}  // namespace ferrowin
