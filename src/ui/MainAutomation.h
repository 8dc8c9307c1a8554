#pragma once
// The main window as another program's remote open/save dialog: the panel under the host
// list with the file name box, the file type list and the two buttons, and the dialog's
// state (its kind, the name typed for "save as", the files offered for "save").

#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ferrowin {

class TfrmMain;
class THostView;

enum class TDialogAction : int { daOpen = 0, daSave = 1, daSaveAs = 2 };

// The name box's text: each name quoted and followed by a blank, trimmed; with a count of
// exactly one the quotes go.
[[nodiscard]] QString NameBoxText(const std::vector<std::string>& names, int count);

class TAutomationPanel : public QWidget {
  Q_OBJECT
 public:
  explicit TAutomationPanel(TfrmMain& main);

  QLabel* lblFileName = nullptr;
  QLabel* lblFileTypes = nullptr;
  QLineEdit* editFileName = nullptr;
  QComboBox* cmboFileTypes = nullptr;
  QPushButton* btnOpen = nullptr;
  QPushButton* btnCancel = nullptr;

  std::function<void()> OnAccept;
  std::function<void()> OnCancel;

  [[nodiscard]] TDialogAction DialogAction() const { return Action; }
  void SetDialogAction(TDialogAction action);
  // A host list as the dialog's kind wants it: one item at a time for "save as".
  void ApplySelectionMode(THostView& view) const;
  [[nodiscard]] const std::string& SaveAsFileName() const { return SaveAs; }
  void SetSaveAsFileName(const std::string& name);
  void ClearSaveList() { SaveList.reset(); }
  void AddToSaveList(const std::string& name);
  // After a state notification of the current host view, while the panel shows.
  void RefreshNames(THostView& view, int selectedCount);

  void btnOpenClick();
  void btnCancelClick();

 protected:
  // Closing the dialog's window cancels it; the copy stays its client's until released.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  TfrmMain& Main;
  TDialogAction Action = TDialogAction::daOpen;
  std::string SaveAs;
  std::optional<std::vector<std::string>> SaveList;
};

}  // namespace ferrowin
