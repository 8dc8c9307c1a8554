#pragma once
// The main window's message log: the coloured lines of the active host tab, its context menu
// (Save, Save as, Clear content), and the rules by which the log area above the folder views
// is shown, hidden and sized.

#include <QPlainTextEdit>
#include <QTimer>
#include <functional>
#include <vector>

#include "FTPCompSettings.h"

class QAction;
class QMenu;

namespace ferrowin {

[[nodiscard]] QColor ToQColor(TColor color);

struct TLogLine {
  QString Text;
  TColor Color = InfoColor;
};

class TLogControl : public QPlainTextEdit {
 public:
  // As many lines as a host view keeps: a long session keeps memory bounded, and the log
  // never shows more than a switch of tabs would bring back.
  static constexpr std::size_t MaxLines = 800;

  explicit TLogControl(QWidget* parent = nullptr);

  // Lines appended within this time reach the screen together: laying out and painting the
  // log once per line would cost a run of small files more than their transfers.
  static constexpr int FlushDelayMs = 50;

  // Appends a line in its colour; an empty text adds nothing. Lines appended in a burst
  // reach the screen together, FlushDelayMs later. Past MaxLines the oldest lines go.
  void AddLine(const QString& text, TColor color);
  // The lines of another host view replace what is shown.
  void Refill(const std::vector<TLogLine>& lines);
  void Clear();

  [[nodiscard]] const std::vector<TLogLine>& Entries() const { return FLines; }
  [[nodiscard]] int LineCount() const { return static_cast<int>(FLines.size()); }
  [[nodiscard]] QStringList Lines() const;

  // Writes every line, each ended by CR LF, replacing the file (never half a file). False
  // with the reason in error when it cannot.
  bool SaveToFile(const QString& path, QString* error = nullptr) const;
  // Puts lines appended since the last call into the document now.
  void FlushPending();

  // The LogFile preference, read at each Save and Save as.
  std::function<QString()> LogFile;
  // Where a failed save is reported (the main window's handler of otherwise unhandled
  // errors); empty: the message is added here in red.
  std::function<void(const QString& message)> OnError;

  QMenu* popLogPopup = nullptr;
  QAction* popSaveLog = nullptr;
  QAction* popSaveLogAs = nullptr;
  QAction* popClearLog = nullptr;

  // Sets the items' captions and enables them exactly when there are lines.
  void UpdatePopup();
  void popSaveLogClick();
  void popSaveLogAsClick();
  void popClearLogClick() { Clear(); }

 private:
  void Report(const QString& message);
  void SaveAndClear(const QString& path);

  std::vector<TLogLine> FLines;
  std::size_t FShown = 0;  // lines of FLines already in the document
  QTimer FFlush;
};

// The upper area of the main window: the toolbar, a thin sizing bar under it and the log.
// Heights in pixels; the main window applies Height() to the area.
class TLogArea {
 public:
  static constexpr int MinLogHeight = 12;

  TLogArea(int toolBarHeight, int barHeight, int height);

  [[nodiscard]] int Height() const { return FHeight; }
  [[nodiscard]] bool LogShown() const { return FShown; }
  [[nodiscard]] int CollapsedHeight() const { return FToolBarHeight + FBarHeight; }
  [[nodiscard]] int RememberedLogHeight() const { return FRemembered; }

  // "Show Log" pressed or released: hiding remembers the log's height, showing brings it back.
  void ShowLog(bool show);
  // The splitter under the area dragged by y pixels; maxHeight is the client height less
  // the splitter and the local tool bar.
  void Drag(int y, int maxHeight);
  // The toolbar changed between small and large.
  void SetToolBarHeight(int height);

 private:
  int FToolBarHeight;
  int FBarHeight;
  int FHeight;
  int FRemembered;
  bool FShown;
};

}  // namespace ferrowin
