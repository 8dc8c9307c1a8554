#pragma once
// The common base of the folder views: the list and its status bar, the status texts, the
// keyboard and mouse handling of the list, drag and drop between views, and the operations
// through which the rest of the program acts on a view without knowing its kind.

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "AllViewsList.h"
#include "DateTime.h"

namespace ferrowin {

class TTransferItem;  // the transfer queue's item

// A byte count as the status bar shows it: "1 Byte", "512 Bytes", "1.5KB", "1.02E+003KB".
std::string FormatSize(std::int64_t bytes);
// "%.3g" as the program's texts have it: three significant digits, and an exponent of at
// least three digits in the scientific form (1.02E+003).
std::string FormatGeneral3(double value);

// The status bar under a list: panels side by side, each at least as wide as its text (the
// widths given are minimums), the last taking the rest of its row. Panels that do not fit
// beside each other go on another row. When the pointer rests on a panel whose text still
// does not fit, the text shows as a hint at once.
class TStatusBar : public QWidget {
  Q_OBJECT
 public:
  struct TPanel {
    QString Text;
    int Width = 50;
    Qt::Alignment Alignment = Qt::AlignLeft;
    mutable int TextWidth = -1;  // measured once per text and font: progress sets text often
  };
  explicit TStatusBar(QWidget* parent);
  void AddPanel(int width, Qt::Alignment alignment);
  [[nodiscard]] int PanelCount() const { return static_cast<int>(Panels.size()); }
  [[nodiscard]] QString PanelText(int index) const;
  void SetPanelText(int index, const QString& text);
  // The panel at x on the first row, or at a point; -1 when none.
  [[nodiscard]] int PanelAt(int x) const { return PanelAt(QPoint(x, 0)); }
  [[nodiscard]] int PanelAt(QPoint pos) const;
  // The hint for the pointer at x (first row) or at a point: the panel's text when it is too
  // wide for the panel, else empty. Sets Hint.
  QString HintAt(int x) { return HintAt(QPoint(x, 0)); }
  QString HintAt(QPoint pos);
  [[nodiscard]] QString Hint() const { return CurrentHint; }
  QSize sizeHint() const override;
  [[nodiscard]] bool hasHeightForWidth() const override { return true; }
  [[nodiscard]] int heightForWidth(int width) const override;
  // The minimum widths are for the program's original 8-point font and grow with a wider one.
  [[nodiscard]] int PanelWidth(int index) const { return PanelRect(index).width(); }
  [[nodiscard]] QRect PanelRect(int index) const;
  [[nodiscard]] int RowCount() const { return RowsFor(width()); }
  // The status bar of the pane beside this one: both take the rows of the one that needs
  // more, so the lists above them end level.
  void SetNeighbour(TStatusBar* neighbour);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // The layout asks for another height when the panels take another number of rows.
  void CheckRows();
  [[nodiscard]] int Scaled(int width) const;
  [[nodiscard]] int RowHeight() const;
  [[nodiscard]] std::vector<QRect> Layout(int width) const;
  [[nodiscard]] int RowsFor(int width) const;
  std::vector<TPanel> Panels;
  QString CurrentHint;
  int Rows = 1;
  QPointer<TStatusBar> Neighbour;
};

class TCustomView : public QObject {
  Q_OBJECT
 public:
  using TItem = int;  // a row of ListView(), -1 for none

  ~TCustomView() override;

  // Events; empty = not set. OnFileChanging: before an entry is deleted or renamed, and before
  // the view goes to another folder (location: the entry's, or the folder's).
  std::function<void(TCustomView& sender, const std::string& location)> OnFileChanging;
  std::function<void(QObject& sender)> OnFolderChanged;
  std::function<void(TCustomView& sender, TItem item)> OnPerformDoubleClick;
  std::function<void(TCustomView& sender, int state, int numSelected)> OnUpdateState;
  std::function<void(TCustomView& sender, TCustomView*& destination)> OnTransfer;

  bool DoUpdates = true;

  [[nodiscard]] TListControl* ListView() const { return List; }
  [[nodiscard]] TStatusBar* StatusBar() const { return Status; }
  [[nodiscard]] char Seperator() const { return Sep; }
  [[nodiscard]] std::int64_t SelectedBytes() const { return SelBytes; }
  [[nodiscard]] std::int64_t TotalBytes() const { return AllBytes; }

  virtual std::string GetFolder() const;
  virtual void SetFolder(const std::string& path);
  virtual std::string GetMask() const = 0;
  virtual void SetMask(const std::string& mask);
  virtual bool TransferFrom(TCustomView& source) = 0;
  virtual bool OpenItem(TItem item) = 0;
  virtual bool PerformDoubleClick(TItem item);
  virtual std::string GetItemName(TItem item) const = 0;
  virtual std::string GetItemPath(TItem item) const = 0;
  virtual bool ItemIsFolder(TItem item) const = 0;
  virtual bool ItemIsLink(TItem item) const = 0;
  virtual std::int64_t GetItemSize(TItem item) const = 0;
  virtual TDateTime GetItemDate(TItem item) const = 0;
  virtual bool ChangeFolder(const std::string& path) = 0;
  virtual bool ChangeFolderWait(const std::string& path) = 0;
  virtual bool FolderUp() = 0;
  virtual bool NewFolder(const std::string& name, bool startRename) = 0;
  virtual bool DeleteSelected(bool confirm) = 0;
  virtual bool ShowProperties() = 0;
  virtual void CutSelected() {}
  virtual void CopySelected() {}
  virtual void PasteFiles() {}
  virtual void BeginRename();
  virtual void SelectAll();
  virtual void InvertSelection();
  virtual void Refresh() = 0;
  virtual void EntryArrived(TTransferItem* item, const std::string& folder, TDateTime date, std::int64_t size,
                            bool isFolder, const std::string& name) = 0;
  virtual bool RenameEntry(const std::string& oldName, const std::string& newName) = 0;
  virtual bool TransferTo(TCustomView* destination);

  void UpdateStatus();
  // The view that owns a list control, or null.
  static TCustomView* ViewOf(const TListControl* list);

  // List handlers, public so the owner (and tests) can drive them as the list does.
  virtual void ListDblClick(Qt::KeyboardModifiers shift);
  virtual void ListDragDrop(TListControl* source);
  virtual bool ListDragOver(TListControl* source);
  virtual void ListEnter();
  virtual void ListExit();
  virtual void ListKeyDown(int& key, Qt::KeyboardModifiers shift);
  virtual void ListKeyPress(QChar& key);
  virtual void ListMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift);

 protected:
  // The view's controls are made by CreateControls, which a derived constructor calls last
  // (a base constructor cannot reach the derived CreateListView).
  explicit TCustomView(QWidget* owner);
  void CreateControls();
  virtual TListControl* CreateListView(QWidget* parent) = 0;
  void ConnectListHandlers(TListControl* list);
  // Frees the list and the status bar (a derived view whose model must go first calls it).
  void DestroyControls();
  void SetSeperator(char seperator) { Sep = seperator; }
  void InvalidateTotal() { AllBytes = -1; }
  void SetTotals(std::int64_t total, std::int64_t selected) {
    AllBytes = total;
    SelBytes = selected;
  }
  void RaiseState(int state, int numSelected = 0);
  [[nodiscard]] QWidget* Sheet() const { return Owner; }

  std::string FolderText;

 private:
  QWidget* Owner;
  TListControl* List = nullptr;
  TStatusBar* Status = nullptr;
  char Sep = '/';
  std::int64_t SelBytes = 0;
  std::int64_t AllBytes = -1;
};

}  // namespace ferrowin
