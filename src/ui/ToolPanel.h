#pragma once
// The main window's toolbar: buttons at fixed positions (left = index x button width + 4) in
// one of two sizes, and the thin bar under it that switches the size when dragged.

#include <QFrame>
#include <QWidget>
#include <functional>
#include <vector>

class QAction;
class QToolButton;

namespace ferrowin {

class TToolPanel : public QWidget {
  Q_OBJECT
 public:
  static constexpr int SmallHeight = 34;
  static constexpr int LargeHeight = 62;
  static constexpr QSize SmallButton{36, 30};
  static constexpr QSize LargeButton{62, 58};

  explicit TToolPanel(QWidget* parent);
  // The button at the next position; a null action gives the disabled divider.
  QToolButton* AddButton(QAction* action);
  [[nodiscard]] QToolButton* Button(int index) const { return Buttons.at(static_cast<std::size_t>(index)); }
  [[nodiscard]] int Count() const { return static_cast<int>(Buttons.size()); }
  [[nodiscard]] bool Large() const { return height() == LargeHeight; }
  // Small: icons with their hints as tool tips. Large: the hint as the caption under the icon.
  void SetLarge(bool large);
  // The drag of the bar under the toolbar, y pixels from where it was pressed. Only a panel at
  // one of its two heights changes; returns whether it did.
  bool BarMove(int y);
  std::function<void(bool large)> OnSizeChanged;

 private:
  std::vector<QToolButton*> Buttons;
};

// The thin bar under the toolbar: dragging it with the left button reports the offset.
class TBarGrip : public QFrame {
  Q_OBJECT
 public:
  explicit TBarGrip(QWidget* parent);
  std::function<void(int y)> OnDrag;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  int PressY = 0;
};

}  // namespace ferrowin
