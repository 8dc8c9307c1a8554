#include "ToolPanel.h"

#include <QAction>
#include <QMouseEvent>
#include <QToolButton>

namespace ferrowin {
namespace {

// The caption in as many lines as it needs to fit the width, breaking between words.
QString Wrapped(const QString& text, const QFontMetrics& metrics, int width) {
  QStringList lines;
  for (const QString& word : text.split(' ', Qt::SkipEmptyParts)) {
    if (!lines.isEmpty() && metrics.horizontalAdvance(lines.back() + ' ' + word) <= width) lines.back() += ' ' + word;
    else lines << word;
  }
  return lines.join('\n');
}

}  // namespace

TToolPanel::TToolPanel(QWidget* parent) : QWidget(parent) { SetLarge(false); }

QToolButton* TToolPanel::AddButton(QAction* action) {
  auto* button = new QToolButton(this);
  button->setAutoRaise(true);
  if (action) {
    button->setDefaultAction(action);
  } else {
    button->setEnabled(false);
    button->setObjectName(QStringLiteral("divider"));
  }
  Buttons.push_back(button);
  SetLarge(Large());
  return button;
}

void TToolPanel::SetLarge(bool large) {
  const QSize size = large ? LargeButton : SmallButton;
  setFixedHeight(large ? LargeHeight : SmallHeight);
  for (int i = 0; i < Count(); ++i) {
    QToolButton* button = Buttons[static_cast<std::size_t>(i)];
    button->setGeometry(i * size.width() + 4, 2, size.width(), size.height());
    const int icon = large ? 24 : 20;
    button->setIconSize(QSize(icon, icon));
    // The divider keeps its look; the others show their hint as caption when large.
    if (QAction* action = button->defaultAction()) {
      QFont font = this->font();
      if (large) font.setPixelSize(9);
      button->setFont(font);
      action->setIconText(Wrapped(action->toolTip(), QFontMetrics(font), size.width() - 6));
      button->setToolButtonStyle(large ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly);
    }
  }
  setMinimumWidth(Count() * size.width() + 8);
}

bool TToolPanel::BarMove(int y) {
  if (height() == LargeHeight && y + LargeHeight < SmallHeight) {
    SetLarge(false);
  } else if (height() == SmallHeight && y + SmallHeight > LargeHeight) {
    SetLarge(true);
  } else {
    return false;
  }
  if (OnSizeChanged) OnSizeChanged(Large());
  return true;
}

TBarGrip::TBarGrip(QWidget* parent) : QFrame(parent) {
  setFrameShape(QFrame::HLine);
  setFixedHeight(4);
  setCursor(Qt::SizeVerCursor);
  setToolTip(QStringLiteral("Drag to change the size of the toolbar"));
}

void TBarGrip::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) PressY = event->position().toPoint().y();
}

void TBarGrip::mouseMoveEvent(QMouseEvent* event) {
  if ((event->buttons() & Qt::LeftButton) && OnDrag) OnDrag(event->position().toPoint().y() - PressY);
}

}  // namespace ferrowin
