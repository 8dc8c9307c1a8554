#include "AllViews.h"

#include <QApplication>
#include <QBoxLayout>
#include <QKeyEvent>
#include <QPointer>
#include <unordered_map>

#include "Format.h"

namespace ferrowin {

namespace {
std::unordered_map<const TListControl*, TCustomView*>& ViewsByList() {
  static std::unordered_map<const TListControl*, TCustomView*> views;
  return views;
}
}  // namespace

TCustomView::TCustomView(QWidget* owner) : QObject(owner), Owner(owner) {}

TCustomView::~TCustomView() { DestroyControls(); }

void TCustomView::DestroyControls() {
  ViewsByList().erase(List);
  if (List) List->ClearHandlers();
  // The controls sit on the sheet but belong to the view.
  delete List;
  delete Status;
  List = nullptr;
  Status = nullptr;
}

void TCustomView::CreateControls() {
  DoUpdates = true;
  AllBytes = -1;
  List = CreateListView(Owner);
  ViewsByList()[List] = this;
  Status = new TStatusBar(Owner);
  for (auto [width, alignment] : {std::pair{40, Qt::AlignLeft}, {120, Qt::AlignLeft}, {160, Qt::AlignLeft},
                                  {0, Qt::AlignRight}})
    Status->AddPanel(width, alignment);
  Status->SetPanelText(0, "*.*");
  auto* layout = qobject_cast<QBoxLayout*>(Owner->layout());
  if (!Owner->layout()) {
    layout = new QVBoxLayout(Owner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
  }
  if (layout) {
    layout->addWidget(List, 1);
    layout->addWidget(Status);
  }
}

void TCustomView::ConnectListHandlers(TListControl* list) {
  list->OnDblClick = [this] { ListDblClick(QApplication::keyboardModifiers()); };
  list->OnDragDrop = [this](TListControl* source, QPoint) { ListDragDrop(source); };
  list->OnDragOver = [this](TListControl* source, QPoint, bool& accept) { accept = ListDragOver(source); };
  list->OnEnter = [this] { ListEnter(); };
  list->OnExit = [this] { ListExit(); };
  list->OnKeyDown = [this](int& key, Qt::KeyboardModifiers shift) { ListKeyDown(key, shift); };
  list->OnKeyPress = [this](QChar& key) { ListKeyPress(key); };
  list->OnMouseDown = [this](Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint) {
    ListMouseDown(button, shift);
  };
}

TCustomView* TCustomView::ViewOf(const TListControl* list) {
  auto it = ViewsByList().find(list);
  return it == ViewsByList().end() ? nullptr : it->second;
}

std::string TCustomView::GetFolder() const {
  if (!FolderText.empty() && FolderText.back() != Sep) return FolderText + Sep;
  return FolderText;
}

void TCustomView::SetFolder(const std::string& path) {
  FolderText = path;
  if (!FolderText.empty() && FolderText.back() != Sep) FolderText += Sep;
  AllBytes = -1;
  UpdateStatus();
}

void TCustomView::SetMask(const std::string& mask) {
  std::string text = mask.empty() ? "*.*" : mask;
  Status->SetPanelText(0, QString::fromStdString(text).toLower());
}

void TCustomView::RaiseState(int state, int numSelected) {
  if (OnUpdateState) OnUpdateState(*this, state, numSelected);
}

void TCustomView::UpdateStatus() {
  if (!DoUpdates || !List) return;
  const std::vector<int> selected = List->SelectedItems();
  const int count = List->ItemCount();
  RaiseState(0, static_cast<int>(selected.size()));
  if (AllBytes < 0) {
    AllBytes = 0;
    for (int i = 0; i < count; ++i) AllBytes += GetItemSize(i);
  }
  Status->SetPanelText(1, QString::fromStdString(
                              Format("%d %s, %s", count, count == 1 ? "Entry" : "Entries", FormatSize(AllBytes))));
  SelBytes = 0;
  for (int row : selected) SelBytes += GetItemSize(row);
  const int n = static_cast<int>(selected.size());
  Status->SetPanelText(
      2, QString::fromStdString(Format("%d %s %s, %s", n, n == 1 ? "Item" : "Items", "Selected", FormatSize(SelBytes))));
}

bool TCustomView::PerformDoubleClick(TItem item) {
  if (item < 0) return false;
  if (OnPerformDoubleClick && !ItemIsFolder(item)) {
    OnPerformDoubleClick(*this, item);
    return true;
  }
  return OpenItem(item);
}

void TCustomView::BeginRename() {
  const int focused = List->Focused();
  if (focused >= 0) List->EditCaption(focused);
}

void TCustomView::SelectAll() {
  DoUpdates = false;
  List->setUpdatesEnabled(false);
  List->SelectAll();
  List->setUpdatesEnabled(true);
  DoUpdates = true;
}

void TCustomView::InvertSelection() {
  DoUpdates = false;
  List->setUpdatesEnabled(false);
  List->InvertSelection();
  List->setUpdatesEnabled(true);
  DoUpdates = true;
}

bool TCustomView::TransferTo(TCustomView* destination) {
  return destination && destination->TransferFrom(*this);
}

void TCustomView::ListDblClick(Qt::KeyboardModifiers shift) {
  if (List->SelCount() == 0) return;
  if (shift & Qt::AltModifier) ShowProperties();
  else PerformDoubleClick(List->Selected());
}

void TCustomView::ListDragDrop(TListControl* source) {
  if (TCustomView* from = ViewOf(source)) from->TransferTo(this);
}

bool TCustomView::ListDragOver(TListControl* source) {
  return source && source != List && ViewOf(source) != nullptr;
}

void TCustomView::ListEnter() {
  if (List->isEnabled()) UpdateStatus();
}

void TCustomView::ListExit() {
  if (List->isEnabled()) UpdateStatus();
}

void TCustomView::ListKeyDown(int& key, Qt::KeyboardModifiers shift) {
  if (List->IsEditing()) return;
  const bool ctrl = shift & Qt::ControlModifier;
  const int pressed = key;
  key = 0;
  switch (pressed) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (shift & Qt::AltModifier) ShowProperties();
      else PerformDoubleClick(List->Focused());
      break;
    case Qt::Key_Delete:
      if (List->SelCount() > 0) DeleteSelected(!(shift & Qt::ShiftModifier));
      else key = pressed;
      break;
    case Qt::Key_A:
      if (!ctrl) key = pressed;
      else if (shift & Qt::ShiftModifier) InvertSelection();
      else SelectAll();
      break;
    case Qt::Key_C:
      if (ctrl) CopySelected();
      else key = pressed;
      break;
    case Qt::Key_V:
      if (ctrl) PasteFiles();
      else key = pressed;
      break;
    case Qt::Key_X:
      if (ctrl) CutSelected();
      else key = pressed;
      break;
    case Qt::Key_Menu: {
      const int focused = List->Focused();
      List->PopupAt(focused >= 0 ? List->ItemRect(focused).topLeft() + QPoint(8, 8) : QPoint(0, 0));
      break;
    }
    case Qt::Key_F2:
      BeginRename();
      break;
    case Qt::Key_F5:
      Refresh();
      break;
    default:
      key = pressed;
  }
  // After the list has moved its selection for the keys it handles itself.
  QPointer<TCustomView> self(this);
  QMetaObject::invokeMethod(this, [self] {
    if (self) self->UpdateStatus();
  }, Qt::QueuedConnection);
}

void TCustomView::ListKeyPress(QChar& key) {
  if (key == QChar('\b') && !List->IsEditing()) {
    key = QChar();
    FolderUp();
  }
}

void TCustomView::ListMouseDown(Qt::MouseButton, Qt::KeyboardModifiers shift) {
  if (!(shift & (Qt::ShiftModifier | Qt::ControlModifier))) UpdateStatus();
}

}  // namespace ferrowin
