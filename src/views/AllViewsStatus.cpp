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
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
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
  update();
}

int TStatusBar::Scaled(int width) const {
  constexpr double OriginalCharWidth = 5.5;
  return static_cast<int>(width * std::max(1.0, fontMetrics().averageCharWidth() / OriginalCharWidth));
}

int TStatusBar::PanelWidth(int index) const {
  if (index < 0 || index >= PanelCount()) return 0;
  if (index < PanelCount() - 1) return Scaled(Panels[index].Width);
  int used = 0;
  for (int i = 0; i < PanelCount() - 1; ++i) used += Scaled(Panels[i].Width);
  return std::max(Scaled(Panels[index].Width), width() - used);
}

int TStatusBar::PanelAt(int x) const {
  int left = 0;
  for (int i = 0; i < PanelCount(); ++i) {
    const int w = PanelWidth(i);
    if (x >= left && x < left + w) return i;
    left += w;
  }
  return -1;
}

QString TStatusBar::HintAt(int x) {
  const int panel = PanelAt(x);
  const QString text = PanelText(panel);
  if (panel < 0 || text == CurrentHint) return toolTip();
  CurrentHint = text;
  const bool tooWide = fontMetrics().horizontalAdvance(text) > PanelWidth(panel) - 10;
  setToolTip(tooWide ? text : QString());
  return toolTip();
}

QSize TStatusBar::sizeHint() const { return {400, fontMetrics().height() + 8}; }

void TStatusBar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  int left = 0;
  for (int i = 0; i < PanelCount(); ++i) {
    const int w = PanelWidth(i);
    QRect r(left, 0, w - 2, height());
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.rect = r;
    frame.lineWidth = 1;
    frame.state |= QStyle::State_Sunken;
    style()->drawPrimitive(QStyle::PE_FrameStatusBarItem, &frame, &p, this);
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(r.adjusted(3, 0, -3, 0), int(Panels[i].Alignment | Qt::AlignVCenter),
               fontMetrics().elidedText(Panels[i].Text, Qt::ElideRight, r.width() - 6));
    left += w;
  }
}

void TStatusBar::mouseMoveEvent(QMouseEvent* event) {
  const QString before = CurrentHint;
  const QString hint = HintAt(event->position().toPoint().x());
  if (CurrentHint == before) return;
  // Shown at once rather than after the usual pause.
  QToolTip::hideText();
  if (!hint.isEmpty()) QToolTip::showText(event->globalPosition().toPoint(), hint, this);
}

}  // namespace ferrowin
