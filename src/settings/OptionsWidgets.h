#pragma once
// Small widgets the preference pages are built from.

#include <QBoxLayout>
#include <QButtonGroup>
#include <QDialog>
#include <QFileDialog>
#include <QPushButton>
#include <functional>
#include <QGroupBox>
#include <QStringList>

class QRadioButton;
class QSpinBox;
class QToolButton;

namespace ferrowin {

// A group box of radio buttons chosen by index, -1 when none is checked.
class TRadioGroup : public QGroupBox {
 public:
  explicit TRadioGroup(QWidget* parent = nullptr, int columns = 1);

  void SetItems(const QStringList& captions);
  [[nodiscard]] int ItemIndex() const { return FButtons.checkedId(); }
  void SetItemIndex(int index);
  [[nodiscard]] QRadioButton* Button(int index) const;
  [[nodiscard]] QButtonGroup& Buttons() { return FButtons; }

 private:
  QButtonGroup FButtons;
  int FColumns;
};

// The small "..." button beside a path field.
QToolButton* NewBrowseButton(QWidget* parent);

// Asks for a path with a file dialog of that mode (an existing file, a file to save or a
// folder), through the program's prompt service; empty when cancelled.
QString BrowseForPath(QWidget* parent, const QString& caption, const QString& start, QFileDialog::FileMode mode,
                      const QString& filters = {});

// A number field with arrows: value within [min, max], widened to hold a stored value that
// lies outside, so opening and closing the dialog never changes what was stored.
QSpinBox* NewSpinEdit(QWidget* parent, int min, int max);

// The row of OK, Cancel and "&Help" under a dialog's pages. OK is the default button and
// runs onOK; Cancel rejects; Help calls onHelp with the dialog's help context.
struct TDialogButtons {
  QPushButton* OK;
  QPushButton* Cancel;
  QPushButton* Help;
};
TDialogButtons AddDialogButtons(QDialog* dialog, QBoxLayout* layout, std::function<void()> onOK,
                                std::function<void()> onHelp);
void SetSpinValue(QSpinBox* spin, int value);
// The field's number, or fallback when its text is not one.
[[nodiscard]] int SpinValue(const QSpinBox* spin, int fallback);

}  // namespace ferrowin

namespace ferrowin {
// The group's index, or previous when none is checked (a stored value outside the items).
[[nodiscard]] inline int RadioValue(const TRadioGroup* group, int previous) {
  int index = group->ItemIndex();
  return index >= 0 ? index : previous;
}
}  // namespace ferrowin
