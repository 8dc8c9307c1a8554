#include "LogControl.h"

#include <QFileDialog>
#include <QFontDatabase>
#include <QMenu>
#include <QSaveFile>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

#include "Prompts.h"

namespace ferrowin {

QColor ToQColor(TColor color) { return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF); }

TLogControl::TLogControl(QWidget* parent) : QPlainTextEdit(parent) {
  setReadOnly(true);
  setUndoRedoEnabled(false);
  setFocusPolicy(Qt::ClickFocus);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  document()->setMaximumBlockCount(static_cast<int>(MaxLines));
  setMinimumHeight(1);  // the splitter above the views may fold the log away

  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setFamilies({"Courier New", font.family()});
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setPixelSize(12);
  setFont(font);

  // The colours are those of the lines on white, whatever the desktop's theme; the
  // selection stays visible when the log is not focused.
  QPalette p = palette();
  p.setColor(QPalette::Base, Qt::white);
  p.setColor(QPalette::Text, Qt::black);
  for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
    p.setColor(QPalette::Inactive, role, p.color(QPalette::Active, role));
  setPalette(p);

  popLogPopup = new QMenu(this);
  popSaveLog = popLogPopup->addAction(QString());
  popSaveLogAs = popLogPopup->addAction(QString());
  popClearLog = popLogPopup->addAction(QString());
  connect(popSaveLog, &QAction::triggered, this, [this] { popSaveLogClick(); });
  connect(popSaveLogAs, &QAction::triggered, this, [this] { popSaveLogAsClick(); });
  connect(popClearLog, &QAction::triggered, this, [this] { popClearLogClick(); });
  setContextMenuPolicy(Qt::CustomContextMenu);
  connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    UpdatePopup();
    popLogPopup->exec(mapToGlobal(pos));
  });

  FFlush.setSingleShot(true);
  FFlush.setInterval(FlushDelayMs);
  connect(&FFlush, &QTimer::timeout, this, [this] { FlushPending(); });
}

void TLogControl::AddLine(const QString& text, TColor color) {
  if (text.isEmpty()) return;
  FLines.push_back({text, color});
  if (FLines.size() > MaxLines) {
    const std::size_t excess = FLines.size() - MaxLines;
    FLines.erase(FLines.begin(), FLines.begin() + static_cast<std::ptrdiff_t>(excess));
    FShown -= std::min(FShown, excess);  // the document drops its oldest blocks itself
  }
  if (!FFlush.isActive()) FFlush.start();
}

void TLogControl::FlushPending() {
  FFlush.stop();
  if (FShown >= FLines.size()) return;
  QScrollBar* bar = verticalScrollBar();
  // Someone reading further up keeps his place; otherwise the newest line stays in view.
  bool atEnd = bar->value() >= bar->maximum();
  QTextCursor cursor(document());
  cursor.movePosition(QTextCursor::End);
  cursor.beginEditBlock();
  QTextCharFormat format;
  for (; FShown < FLines.size(); ++FShown) {
    const TLogLine& line = FLines[FShown];
    if (!document()->isEmpty()) cursor.insertBlock();
    format.setForeground(ToQColor(line.Color));
    cursor.insertText(line.Text, format);
  }
  cursor.endEditBlock();
  if (atEnd) bar->setValue(bar->maximum());
}

void TLogControl::Refill(const std::vector<TLogLine>& lines) {
  Clear();
  for (const TLogLine& line : lines)
    if (!line.Text.isEmpty()) FLines.push_back(line);
  if (FLines.size() > MaxLines) FLines.erase(FLines.begin(), FLines.end() - static_cast<std::ptrdiff_t>(MaxLines));
  FlushPending();
}

void TLogControl::Clear() {
  FFlush.stop();
  FLines.clear();
  FShown = 0;
  clear();
}

QStringList TLogControl::Lines() const {
  QStringList lines;
  lines.reserve(static_cast<qsizetype>(FLines.size()));
  for (const TLogLine& line : FLines) lines << line.Text;
  return lines;
}

bool TLogControl::SaveToFile(const QString& path, QString* error) const {
  QSaveFile file(path);
  bool ok = file.open(QIODevice::WriteOnly);
  for (std::size_t i = 0; ok && i < FLines.size(); ++i) {
    QByteArray bytes = FLines[i].Text.toUtf8();
    bytes += "\r\n";
    ok = file.write(bytes) == bytes.size();
  }
  ok = ok && file.commit();
  if (!ok && error) *error = QString("Cannot create file \"%1\". %2").arg(path, file.errorString());
  return ok;
}

void TLogControl::UpdatePopup() {
  popSaveLog->setText("&Save");
  popSaveLogAs->setText("Save &as...");
  popClearLog->setText("&Clear content");
  bool any = LineCount() > 0;
  for (QAction* action : {popSaveLog, popSaveLogAs, popClearLog}) action->setEnabled(any);
}

void TLogControl::Report(const QString& message) {
  if (OnError) {
    OnError(message);
  } else {
    AddLine(message, ErrorColor);
  }
}

void TLogControl::SaveAndClear(const QString& path) {
  QString error;
  if (!SaveToFile(path, &error)) {
    Report(error);
    return;
  }
  Clear();
}

void TLogControl::popSaveLogClick() { SaveAndClear(LogFile ? LogFile() : QString()); }

void TLogControl::popSaveLogAsClick() {
  QFileDialog dialog(this, "Select Log File", LogFile ? LogFile() : QString(), "Log Files (*.log);;All Files (*)");
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix("log");
  dialog.setOption(QFileDialog::ReadOnly, false);
  if (LogFile) dialog.selectFile(LogFile());
  if (RunModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  SaveAndClear(dialog.selectedFiles().front());
}

TLogArea::TLogArea(int toolBarHeight, int barHeight, int height)
    : FToolBarHeight(toolBarHeight), FBarHeight(barHeight), FHeight(height) {
  FShown = FHeight >= CollapsedHeight() + 4;
  if (!FShown) FHeight = CollapsedHeight();
  FRemembered = std::max(MinLogHeight, FHeight - CollapsedHeight());
}

void TLogArea::ShowLog(bool show) {
  if (show == FShown) return;
  if (show) {
    FHeight = CollapsedHeight() + FRemembered;
  } else {
    FRemembered = std::max(MinLogHeight, FHeight - CollapsedHeight());
    FHeight = CollapsedHeight();
  }
  FShown = show;
}

void TLogArea::Drag(int y, int maxHeight) {
  int height = FHeight + y;
  if (height < CollapsedHeight() + 4) {
    FHeight = CollapsedHeight();
    FShown = false;
    return;
  }
  FShown = true;
  FHeight = std::min(height, maxHeight);
}

void TLogArea::SetToolBarHeight(int height) {
  int log = FHeight - CollapsedHeight();
  FToolBarHeight = height;
  FHeight = CollapsedHeight() + log;
}

}  // namespace ferrowin
