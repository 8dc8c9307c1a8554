#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>
#include <QToolTip>
#include <cstdio>

#include "AllViews.h"
#include "Format.h"

namespace ferrowin {

std::string FormatGeneral3(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.3g", value);
  std::string text = buffer;
  std::size_t e = text.find('e');
  if (e == std::string::npos) return text;
  std::string mantissa = text.substr(0, e);
  char sign = text[e + 1];
  std::string digits = text.substr(e + 2);
  while (digits.size() < 3) digits.insert(digits.begin(), '0');
  return mantissa + "E" + sign + digits;
}

std::string FormatSize(std::int64_t bytes) {
  constexpr std::int64_t KB = 1024, MB = KB * 1024, GB = MB * 1024, TB = GB * 1024;
  if (bytes == 1) return Format("1 %s", "Byte");
  if (bytes < KB) return Format("%.0n %s", bytes, "Bytes");
  auto scaled = [bytes](std::int64_t unit, const char* name) {
    return FormatGeneral3(static_cast<double>(bytes) / static_cast<double>(unit)) + name;
  };
  if (bytes < MB) return scaled(KB, "KB");
  if (bytes < GB) return scaled(MB, "MB");
  if (bytes >= TB) return scaled(TB, "TB");
  return scaled(GB, "GB");
}

TStatusBar::TStatusBar(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  // Opaque: a new text repaints the bar alone, not every widget of the window behind it.
  setAutoFillBackground(true);
  QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  policy.setHeightForWidth(true);
  setSizePolicy(policy);
}

void TStatusBar::AddPanel(int width, Qt::Alignment alignment) {
  Panels.push_back({QString(), width, alignment});
  update();
}

QString TStatusBar::PanelText(int index) const {
  return index >= 0 && index < PanelCount() ? Panels[index].Text : QString();
}

void TStatusBar::SetPanelText(int index, const QString& text) {
  if (index < 0 || index >= PanelCount() || Panels[index].Text == text) return;
  Panels[index].Text = text;
  Panels[index].TextWidth = -1;
  CheckRows();
  update();
}

void TStatusBar::CheckRows() {
  const int rows = RowCount();
  if (rows == Rows) return;
  Rows = rows;
  updateGeometry();
  if (Neighbour) Neighbour->updateGeometry();
}

void TStatusBar::SetNeighbour(TStatusBar* neighbour) {
  Neighbour = neighbour;
  updateGeometry();
}

void TStatusBar::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  CheckRows();
}

void TStatusBar::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::FontChange && event->type() != QEvent::StyleChange) return;
  for (const TPanel& panel : Panels) panel.TextWidth = -1;
  CheckRows();
}

int TStatusBar::Scaled(int width) const {
  constexpr double OriginalCharWidth = 5.5;
  return static_cast<int>(width * std::max(1.0, fontMetrics().averageCharWidth() / OriginalCharWidth));
}

int TStatusBar::RowHeight() const { return fontMetrics().height() + 8; }

std::vector<QRect> TStatusBar::Layout(int width) const {
  constexpr int Padding = 12;  // frame and margins of a panel
  std::vector<int> text, wanted;
  int total = 0;
  for (int i = 0; i < PanelCount(); ++i) {
    const TPanel& panel = Panels[i];
    if (panel.TextWidth < 0) panel.TextWidth = panel.Text.isEmpty() ? 0 : fontMetrics().horizontalAdvance(panel.Text);
    text.push_back(panel.TextWidth + Padding);
    const bool last = i == PanelCount() - 1;
    wanted.push_back(last ? text.back() : std::max(Scaled(Panels[i].Width), text.back()));
    total += wanted.back();
  }
  // One row at the classic widths when it holds everything; else each panel as wide as its
  // text, on as many rows as it takes.
  const bool compact = total > width;
  std::vector<QRect> rects;
  const int h = RowHeight();
  int x = 0, row = 0;
  for (int i = 0; i < PanelCount(); ++i) {
    const bool last = i == PanelCount() - 1;
    const int w = compact ? text[i] : wanted[i];
    if (x > 0 && x + w > width) {
      ++row;
      x = 0;
    }
    rects.emplace_back(x, row * h, last ? std::max(width - x, 0) : std::min(w, width - x), h);
    x += rects.back().width();
  }
  return rects;
}

int TStatusBar::RowsFor(int width) const {
  const std::vector<QRect> rects = Layout(width);
  return rects.empty() ? 1 : rects.back().bottom() / RowHeight() + 1;
}

QRect TStatusBar::PanelRect(int index) const {
  if (index < 0 || index >= PanelCount()) return {};
  return Layout(width())[static_cast<std::size_t>(index)];
}

int TStatusBar::PanelAt(QPoint pos) const {
  const std::vector<QRect> rects = Layout(width());
  for (std::size_t i = 0; i < rects.size(); ++i)
    if (rects[i].contains(pos)) return static_cast<int>(i);
  return -1;
}

QString TStatusBar::HintAt(QPoint pos) {
  const int panel = PanelAt(pos);
  const QString text = PanelText(panel);
  if (panel < 0 || text == CurrentHint) return toolTip();
  CurrentHint = text;
  const bool tooWide = fontMetrics().horizontalAdvance(text) > PanelWidth(panel) - 10;
  setToolTip(tooWide ? text : QString());
  return toolTip();
}

QSize TStatusBar::sizeHint() const { return {400, heightForWidth(width() > 0 ? width() : 400)}; }

int TStatusBar::heightForWidth(int width) const {
  const int beside = Neighbour && Neighbour->isVisible() ? Neighbour->RowCount() : 0;
  return std::max(RowsFor(width), beside) * RowHeight();
}

void TStatusBar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const std::vector<QRect> rects = Layout(width());
  for (int i = 0; i < PanelCount(); ++i) {
    const QRect r = rects[static_cast<std::size_t>(i)].adjusted(0, 0, -2, 0);
    if (r.width() <= 0) continue;
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.rect = r;
    frame.lineWidth = 1;
    frame.state |= QStyle::State_Sunken;
    style()->drawPrimitive(QStyle::PE_FrameStatusBarItem, &frame, &p, this);
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(r.adjusted(3, 0, -3, 0), int(Panels[i].Alignment | Qt::AlignVCenter),
               fontMetrics().elidedText(Panels[i].Text, Qt::ElideRight, r.width() - 6));
  }
}

void TStatusBar::mouseMoveEvent(QMouseEvent* event) {
  const QString before = CurrentHint;
  const QString hint = HintAt(event->position().toPoint());
  if (CurrentHint == before) return;
  // Shown at once rather than after the usual pause.
  QToolTip::hideText();
  if (!hint.isEmpty()) QToolTip::showText(event->globalPosition().toPoint(), hint, this);
}

}  // namespace ferrowin
