#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QMenu>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTest>

#include "LogControl.h"
#include "Prompts.h"
#include "Screenshots.h"
#include "QtEnvironment.h"
#include "TempHome.h"

namespace ferrowin {
namespace {

[[maybe_unused]] auto* const QtEnvironment = ::testing::AddGlobalTestEnvironment(new test::TQtEnvironment);

// The colour of each line as the document shows it.
std::vector<QColor> ShownColours(TLogControl& log) {
  log.FlushPending();
  std::vector<QColor> colours;
  for (QTextBlock b = log.document()->begin(); b.isValid(); b = b.next()) {
    if (b.text().isEmpty()) continue;
    colours.push_back(b.begin().fragment().charFormat().foreground().color());
  }
  return colours;
}

QStringList ShownLines(TLogControl& log) {
  log.FlushPending();
  QString text = log.toPlainText();
  return text.isEmpty() ? QStringList() : text.split('\n');
}

class LogControlTest : public ::testing::Test {
 protected:
  test::TTempHome Home;
  TLogControl Log;
  QString LogPath = QString::fromStdString(Home.File("ferrowin.log"));

  void SetUp() override {
    Log.LogFile = [this] { return LogPath; };
    Log.resize(500, 200);
  }
  void TearDown() override { SetDialogAnswerer({}); }
};

TEST_F(LogControlTest, LinesShowInTheColoursOfTheTable) {
  struct Case {
    const char* text;
    TColor color;
    QColor shown;
  };
  const Case cases[] = {
      {"USER bob", CommandColor, QColor(0, 128, 0)},
      {"331 Password required for bob.", ReplyColor, QColor(0, 0, 255)},
      {"530 Login incorrect.", ErrorColor, QColor(255, 0, 0)},
      {"Server does not support passive (PASV) mode, using active mode instead...", InfoColor, QColor(0, 0, 0)},
  };
  for (const Case& c : cases) Log.AddLine(c.text, c.color);
  Log.AddLine("", ErrorColor);  // adds no line
  std::vector<QColor> colours = ShownColours(Log);
  ASSERT_EQ(colours.size(), std::size(cases));
  for (std::size_t i = 0; i < colours.size(); ++i) {
    SCOPED_TRACE(cases[i].text);
    EXPECT_EQ(colours[i], cases[i].shown);
  }
  EXPECT_EQ(ShownLines(Log).size(), std::size(cases));
  EXPECT_TRUE(Log.font().fixedPitch());
  EXPECT_EQ(Log.font().pixelSize(), 12);
  EXPECT_TRUE(Log.isReadOnly());
  EXPECT_EQ(Log.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  Log.show();
  SaveScreenshot(&Log, "log-control");
}

TEST_F(LogControlTest, RefillReplacesAndClearEmpties) {
  Log.AddLine("from the old tab", InfoColor);
  Log.FlushPending();
  Log.AddLine("not yet shown", InfoColor);  // still pending when the tab changes
  Log.Refill({{"PWD", CommandColor}, {"", InfoColor}, {"257 \"/\" is current", ReplyColor}});
  EXPECT_EQ(ShownLines(Log), QStringList({"PWD", "257 \"/\" is current"}));
  EXPECT_EQ(ShownColours(Log), (std::vector<QColor>{QColor(0, 128, 0), QColor(0, 0, 255)}));
  Log.Clear();
  QApplication::processEvents();
  EXPECT_EQ(Log.LineCount(), 0);
  EXPECT_EQ(Log.toPlainText(), "");
}

TEST_F(LogControlTest, SaveWritesEveryLineAndClears) {
  test::WriteFile(LogPath.toStdString(), "an older and much longer log file\r\n");
  Log.AddLine("USER bob", CommandColor);
  Log.AddLine("PASS xxxxx", CommandColor);
  Log.AddLine(QString::fromUtf8("550 caf\xC3\xA9: No such file"), ErrorColor);
  Log.UpdatePopup();
  EXPECT_EQ(Log.popSaveLog->text(), "&Save");
  EXPECT_EQ(Log.popSaveLogAs->text(), "Save &as...");
  EXPECT_EQ(Log.popClearLog->text(), "&Clear content");
  EXPECT_TRUE(Log.popSaveLog->isEnabled());
  Log.popSaveLog->trigger();
  EXPECT_EQ(test::ReadFile(LogPath.toStdString()), "USER bob\r\nPASS xxxxx\r\n550 caf\xC3\xA9: No such file\r\n");
  EXPECT_EQ(ShownLines(Log), QStringList());
  Log.UpdatePopup();
  for (QAction* a : {Log.popSaveLog, Log.popSaveLogAs, Log.popClearLog}) EXPECT_FALSE(a->isEnabled());
}

TEST_F(LogControlTest, SaveThatFailsIsReportedAndKeepsTheLines) {
  Log.AddLine("QUIT", CommandColor);
  LogPath = QString::fromStdString(Home.File("no such folder/ferrowin.log"));
  Log.popSaveLog->trigger();
  QStringList lines = ShownLines(Log);
  ASSERT_EQ(lines.size(), 2);
  EXPECT_EQ(lines[0], "QUIT");
  EXPECT_TRUE(lines[1].startsWith("Cannot create file")) << lines[1].toStdString();
  EXPECT_EQ(ShownColours(Log).back(), QColor(255, 0, 0));

  QString reported;
  Log.OnError = [&](const QString& m) { reported = m; };
  Log.popSaveLog->trigger();
  EXPECT_TRUE(reported.contains("no such folder"));
  EXPECT_EQ(Log.LineCount(), 2);
}

TEST_F(LogControlTest, SaveAsWritesTheChosenFileOnly) {
  Log.AddLine("NOOP", CommandColor);
  QString chosen = QString::fromStdString(Home.File("chosen.log"));
  SetDialogAnswerer([&](QDialog& d) {
    auto& dialog = dynamic_cast<QFileDialog&>(d);
    EXPECT_EQ(dialog.windowTitle(), "Select Log File");
    EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(dialog.defaultSuffix(), "log");
    EXPECT_EQ(dialog.nameFilters(), QStringList({"Log Files (*.log)", "All Files (*)"}));
    dialog.selectFile(chosen);
    return int(QDialog::Accepted);
  });
  Log.popSaveLogAs->trigger();
  EXPECT_EQ(test::ReadFile(chosen.toStdString()), "NOOP\r\n");
  EXPECT_FALSE(QFile::exists(LogPath));
  EXPECT_EQ(Log.LineCount(), 0);

  Log.AddLine("NOOP", CommandColor);
  SetDialogAnswerer([](QDialog&) { return int(QDialog::Rejected); });
  Log.popSaveLogAs->trigger();
  EXPECT_EQ(Log.LineCount(), 1);
}

TEST_F(LogControlTest, TenThousandLinesArriveInOneUpdateAndOnlyTheNewestStay) {
  Log.show();
  QElapsedTimer timer;
  timer.start();
  for (int i = 0; i < 10000; ++i) Log.AddLine(QString("200 NOOP command successful (%1)").arg(i), ReplyColor);
  qint64 appended = timer.elapsed();
  EXPECT_EQ(Log.document()->blockCount(), 1);  // nothing laid out yet
  ASSERT_TRUE(QTest::qWaitFor([&] { return Log.document()->blockCount() > 1; }, 5000));
  qint64 shown = timer.elapsed();
  // Memory stays bounded: the newest MaxLines lines are kept, in the control and its list.
  EXPECT_EQ(Log.document()->blockCount(), static_cast<int>(TLogControl::MaxLines));
  EXPECT_EQ(Log.LineCount(), static_cast<int>(TLogControl::MaxLines));
  EXPECT_EQ(ShownLines(Log).front(), "200 NOOP command successful (9200)");
  EXPECT_EQ(ShownLines(Log).back(), "200 NOOP command successful (9999)");
  Log.AddLine("one more", ReplyColor);  // after a flush the document drops its own oldest
  EXPECT_EQ(ShownLines(Log).front(), "200 NOOP command successful (9201)");
  EXPECT_EQ(ShownLines(Log).size(), TLogControl::MaxLines);
  EXPECT_EQ(Log.verticalScrollBar()->value(), Log.verticalScrollBar()->maximum());
  RecordProperty("append_ms", static_cast<int>(appended));
  RecordProperty("shown_ms", static_cast<int>(shown));
  std::printf("10000 lines: appended in %lld ms, on screen after %lld ms\n", static_cast<long long>(appended),
              static_cast<long long>(shown));
}

TEST(LogArea, ShowHideAndSplitter) {
  // Toolbar 34 pixels, sizing bar 3: the area collapses to 37.
  struct Step {
    const char* what;
    char action;  // 'h' hide, 's' show, 'd' drag by value
    int value;
    int height;
    bool shown;
  };
  const Step steps[] = {
      {"hide remembers 88", 'h', 0, 37, false},
      {"show brings it back", 's', 0, 125, true},
      {"drag down", 'd', 40, 165, true},
      {"drag beyond the client area stops there", 'd', 500, 400, true},
      {"drag up to 4 pixels above collapsing stays shown", 'd', -359, 41, true},
      {"3 pixels collapses and hides", 'd', -1, 37, false},
      {"show after a drag collapse uses the height last hidden", 's', 0, 125, true},
      {"hide at the smallest log remembers 12", 'd', -84, 41, true},
      {"", 'h', 0, 37, false},
      {"", 's', 0, 49, true},
      {"dragging down from hidden shows it", 'h', 0, 37, false},
      {"", 'd', 10, 47, true},
  };
  TLogArea area(34, 3, 125);
  EXPECT_TRUE(area.LogShown());
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    if (s.action == 'h') area.ShowLog(false);
    if (s.action == 's') area.ShowLog(true);
    if (s.action == 'd') area.Drag(s.value, 400);
    EXPECT_EQ(area.Height(), s.height);
    EXPECT_EQ(area.LogShown(), s.shown);
  }
  // A stored height that leaves no log starts hidden, ready to show a small log.
  TLogArea collapsed(34, 3, 20);
  EXPECT_FALSE(collapsed.LogShown());
  EXPECT_EQ(collapsed.Height(), 37);
  collapsed.ShowLog(true);
  EXPECT_EQ(collapsed.Height(), 49);
  // The large toolbar keeps the log's own height.
  collapsed.SetToolBarHeight(62);
  EXPECT_EQ(collapsed.Height(), 77);
}

}  // namespace
}  // namespace ferrowin
