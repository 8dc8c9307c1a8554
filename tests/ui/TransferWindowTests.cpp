// The progress window and the transfer manager through the main window, against a scripted
// server whose downloads of "stall*" never end: texts, titles, Cancel, Skip, the manager's
// menu, reordering and re-submitting, folding.

#include <QAction>
#include <QElapsedTimer>
#include <QMenu>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <QLayout>
#include <fstream>

#include "LayoutCheck.h"
#include "Main.h"
#include "OptionsDialog.h"
#include "Prompts.h"
#include "ServerProcess.h"
#include "Transfer.h"
#include "TransferProgressText.h"
#include "TransferWindows.h"
#include "ViewTestSupport.h"

namespace ferrowin::test {
namespace {

constexpr std::chrono::seconds Long(30);  // the machine may be loaded by builds

TEST(TransferProgressText, TimesSpeedsAndEmptyItems) {
  const std::pair<std::int64_t, std::string> times[] = {
      {-5, "0:00"}, {0, "0:00"}, {59, "0:59"}, {3599, "59:59"}, {3600, "1:00:00"}, {5400, "1:30:00"}};
  for (const auto& [seconds, text] : times) EXPECT_EQ(TransferTimeText(seconds), text) << seconds;
  const std::pair<std::int64_t, std::string> speeds[] = {
      {0, "0 Bytes"}, {1023, "1023 Bytes"}, {1024, "1.00 KB"}, {1500, "1.46 KB"}, {10 * 1024 * 1024, "10240.00 KB"}};
  for (const auto& [rate, text] : speeds) EXPECT_EQ(TransferSpeedText(rate), text) << rate;
  TTransferItemsList list;
  TTransferItems& queue = list.CreateQueue("q");
  TTransferItem empty;
  const TProgressTexts zero = ProgressTexts(empty, queue, 5000, 5000);
  EXPECT_EQ(zero.FileBytes, "0 of 0 bytes copied");
  EXPECT_EQ(zero.FileRemaining, "0:00 remaining");
  TTransferItem big;  // over 4 GiB: no 32-bit wrap in the texts
  big.Size = 5LL << 30;
  big.BytesDone = 1LL << 32;
  queue.BytesDone = 1LL << 32;
  queue.BytesLeft = 1LL << 30;
  const TProgressTexts t = ProgressTexts(big, queue, 4000, 4000);
  EXPECT_EQ(t.FileBytes, "4294967296 of 5368709120 bytes copied");
  EXPECT_EQ(t.FileBar, 80);
  EXPECT_EQ(t.FileRemaining, "0:01 remaining");
  EXPECT_EQ(t.Long, "80% Transferred (file 1/1), 0:01 remaining at 1048576.00 KB/sec - Ferrowin");
}

class TransferWindows : public TViewTest {
 protected:
  void SetUp() override {
    TViewTest::SetUp();
    std::ofstream(Home.File("ferrowin.ini")) << "[Connection]\r\nShowManager=0\r\n";
    SetPromptAnswerer([](const TPrompt&) { return QMessageBox::Ok; });
    TScript script;
    script.StandardLogin()
        .On("PASV", {Action("pasv", Json("227 Entering Passive Mode ({})."))})
        .On("RETR /ok.*", {Send("150 Here it comes."), Action("data", Json("abc")), Send("226 Done.")})
        .On("RETR .*", {Send("150 Here it comes."), Action("data_partial", Json("xx"))})
        .On("ABOR", {Send("426 Transfer aborted."), Send("226 Abort successful.")});
    Fake = std::make_unique<TFakeFtpServer>(script.ToJson());
    Window = std::make_unique<TfrmMain>();
    Window->show();
    WaitFor([&] { return Window->isVisible(); });
  }
  void Release() override {
    Window.reset();
    QCoreApplication::processEvents();
    SetPromptAnswerer(nullptr);
    Fake.reset();
  }
  void Add(TTransferItems& queue, const std::string& name, int port = 0) {
    TTransferEntry e;
    e.Host = "127.0.0.1";
    e.Port = static_cast<std::uint32_t>(port ? port : Fake->Port());
    e.UserID = "user";
    e.Password = "pw";
    e.SourceFolder = "/";
    e.DestFolder = Local.Path() + "/";
    e.SourceName = name;
    e.Size = 100;
    ASSERT_GE(queue.AddEntry(e), 0) << name;
  }
  int Retrs() const {
    int n = 0;
    for (const std::string& record : Fake->Records()) n += record.find("\tRETR") != std::string::npos;
    return n;
  }
  TTransferItem& Named(TTransferItems& queue, const std::string& name) {
    for (auto& item : queue.Items)
      if (item->SourceName == name) return *item;
    throw std::runtime_error("no item " + name);
  }
  TfrmTransfer& Progress() { return *Window->TransferWindowSet().Progress; }
  TfrmTransferMngr& Manager() { return *Window->TransferWindowSet().Manager; }

  std::unique_ptr<TFakeFtpServer> Fake;
  TTempDir Local;
  std::unique_ptr<TfrmMain> Window;
};

TEST_F(TransferWindows, TitlesFollowTheWindowAndCancelTouchesOnlyTheShownQueue) {
  Window->mnuShowTransferInfo->trigger();  // unchecked: the window stays hidden
  TTransferItems& general = Window->TransferList->General();
  TTransferItems& other = Window->TransferList->CreateQueue("other");
  Add(general, "stall1");
  Add(general, "g2");
  Add(other, "stall2");
  Add(other, "o2");
  ASSERT_TRUE(WaitFor([&] { return Retrs() == 2 && Progress().CurrentItem(); }, Long));
  ASSERT_EQ(Progress().ShownQueue(), &general);
  Progress().btnDetails->click();  // the lines gathered while folded come with the log
  EXPECT_NE(Progress().memoLog->toPlainText().indexOf("USER user"), -1);
  Progress().btnDetails->click();
  Window->btnTransferMng->trigger();
  for (int tab : {1, 0}) {
    Manager().tabQueues->setCurrentIndex(tab);
    for (TTransferItems* queue : {&general, &other})
      for (const auto& item : queue->Items)
        EXPECT_EQ(item->ListItem != nullptr, queue == Manager().ShownQueue()) << "a row only for the shown queue";
  }
  Window->btnTransferMng->trigger();
  Progress().Refresh();
  EXPECT_TRUE(Progress().btnSkip->isEnabled()) << "the item is logged in and running";
  EXPECT_TRUE(Progress().btnCancel->isEnabled());
  EXPECT_FALSE(Progress().isVisible());
  EXPECT_TRUE(Progress().ApplicationTitle().startsWith("0% Transferred (file 1/2), ")) << Progress().ApplicationTitle().toStdString();
  EXPECT_TRUE(Progress().ApplicationTitle().endsWith("/sec - Ferrowin"));
  EXPECT_EQ(Window->windowIconText(), Progress().ApplicationTitle()) << "the taskbar's text";
  EXPECT_EQ(Progress().windowTitle(), Progress().ApplicationTitle());
  Window->mnuShowTransferInfo->trigger();  // showing it brings the figures up to date
  ASSERT_TRUE(Progress().isVisible());
  EXPECT_TRUE(Progress().windowTitle().startsWith("0% Transferred (")) << Progress().windowTitle().toStdString();
  EXPECT_EQ(Progress().ApplicationTitle(), "Ferrowin");
  EXPECT_EQ(Progress().lblFileCount->text(), "File 1 of 2");
  EXPECT_EQ(Progress().TabCount(), 2);

  Progress().btnCancelClick();
  EXPECT_EQ(Named(general, "g2").State, isCancelled);
  EXPECT_EQ(Named(other, "o2").State, isPending);
  ASSERT_TRUE(WaitFor([&] { return Named(general, "stall1").State == isCancelled; }, Long));
  // The manager shows its end although the window let the queue go before it came.
  ASSERT_EQ(Manager().RowItem(0), &Named(general, "stall1"));
  EXPECT_EQ(Manager().Text(0, TfrmTransferMngr::colStatus), "Cancelled");
  EXPECT_EQ(Named(other, "stall2").State, isBusy);
  // The other queue is shown now; disconnecting presses its Cancel first, so o2 never starts.
  ASSERT_TRUE(WaitFor([&] { return Progress().ShownQueue() == &other && Progress().CurrentItem(); }, Long));
  Window->mnuDisconnectTransfer->trigger();
  ASSERT_TRUE(WaitFor([&] { return Named(other, "stall2").State == isCancelled; }, Long));
  EXPECT_EQ(Named(other, "o2").State, isCancelled);
  EXPECT_EQ(Retrs(), 2);
  EXPECT_TRUE(WaitFor([&] { return !Progress().isVisible() && Progress().TabCount() == 0; }, Long));
  EXPECT_EQ(Window->windowIconText(), "") << "at rest the taskbar shows the window's own title";
}

// A burst of progress repaints the window once; the last figures follow shortly after.
TEST_F(TransferWindows, ProgressRefreshesAtMostEveryTenthOfASecond) {
  TTransferItems& general = Window->TransferList->General();
  Add(general, "stall1");
  ASSERT_TRUE(WaitFor([&] { return Retrs() == 1 && Progress().CurrentItem(); }, Long));
  TFTPComponent& c = *Named(general, "stall1").Connection;
  QElapsedTimer burst;
  burst.start();
  Progress().Refresh();
  const QString shown = Progress().lblFileBytes->text();
  for (std::int64_t bytes = 10; bytes <= 50; bytes += 10) c.OnProgress(c, TProgressKind::Progress, bytes, true);
  if (burst.elapsed() < TfrmTransfer::ProgressRefreshMs) {
    EXPECT_EQ(Progress().lblFileBytes->text(), shown);
  }
  EXPECT_TRUE(WaitFor([&] { return Progress().lblFileBytes->text() == "50 of 100 bytes copied"; }, Long))
      << Progress().lblFileBytes->text().toStdString();
}

TEST_F(TransferWindows, AnHttpItemCanBeSkippedOnceConnected) {
  // Headers and three bytes of a thousand, then nothing: the download stays busy.
  TServerProcess http({"/usr/bin/python3", "-c",
                       "import socket, time\n"
                       "s = socket.create_server(('127.0.0.1', 0))\n"
                       "print('PORT', s.getsockname()[1], flush=True)\n"
                       "c, _ = s.accept()\nc.recv(4096)\n"
                       "c.sendall(b'HTTP/1.1 200 OK\\r\\nContent-Length: 1000\\r\\n\\r\\nabc')\n"
                       "time.sleep(600)"});
  auto item = std::make_unique<TTransferItem>(TTransferEntry{});
  item->IsHTTP = true;
  item->SetURL("http://127.0.0.1:" + std::to_string(http.Port()) + "/page.html");
  item->DestFolder = Local.Path() + "/";
  item->DestName = "page.html";
  TTransferItems& general = Window->TransferList->General();
  general.Add(item);
  ASSERT_TRUE(WaitFor([&] { return Progress().CurrentItem() && Progress().btnSkip->isEnabled(); }, Long))
      << "an http item has no login: Skip comes with the connection";
  Progress().btnSkipClick();
  EXPECT_TRUE(WaitFor([&] { return general.StateCount[isBusy] == 0; }, Long));
}

TEST_F(TransferWindows, TheEndOfTheLastTransferIsAnnounced) {  // the end-of-all sound, a batch run's end
  int ends = 0;
  bool retried = false;
  TTransferItems& general = Window->TransferList->General();
  Progress().OnAllDone = [&] {
    ++ends;
    retried = std::any_of(general.Log.begin(), general.Log.end(),
                          [](const TQueueLogLine& l) { return l.Message.find("attempt 2") != std::string::npos; });
  };
  Add(general, "ok.bin");
  EXPECT_TRUE(WaitFor([&] { return ends == 1; }, Long));
  // A refused first attempt is no end while the second is still to come, nor is the last one
  // while another item waits; its red line is in the log meanwhile, which the end clears.
  EngineSettings().MaxAttempts = 2;
  EngineSettings().RetryDelay = 1;
  Progress().btnDetails->click();
  Add(general, "refused.bin", ClosedPort());
  Add(general, "ok2.bin");
  EXPECT_TRUE(WaitFor([&] { return Progress().memoLog->toPlainText().contains("refused"); }, Long))
      << Progress().memoLog->toPlainText().toStdString();
  EXPECT_TRUE(WaitFor([&] { return general.StateCount[isError] == 1 && ends == 2; }, Long));
  EXPECT_EQ(Named(general, "ok2.bin").State, isDone);
  EXPECT_EQ(ends, 2);
  EXPECT_TRUE(retried);
  EXPECT_EQ(Progress().memoLog->toPlainText(), "");
  Progress().OnAllDone = nullptr;  // the window's end may announce once more
}

TEST_F(TransferWindows, ManagerRowsMenuReorderAndResubmit) {
  Window->btnTransferMng->trigger();
  ASSERT_TRUE(Manager().isVisible());
  TTransferItems& queue = Window->TransferList->General();
  // ".." ends in error without a word to the server: never a path outside the destination.
  for (const char* name : {"ok.bin", "..", "stall1", "p1", "p2"}) Add(queue, name);
  ASSERT_TRUE(WaitFor([&] { return Named(queue, "stall1").State == isBusy && Retrs() == 2; }, Long));
  const int retrs = Retrs();
  ASSERT_EQ(Manager().RowCount(), 5);
  Manager().PrepareMenu(3);
  Manager().popCancel->trigger();  // p1: pending -> cancelled
  struct {
    int Row;
    const char* Status;
    bool Cancel, Resubmit;
  } rows[] = {
      {0, "Done", false, false},
      {1, "Aborted due to Error", false, false},
      {2, nullptr, true, false},
      {3, "Cancelled", false, true},
      {4, "Download Pending", true, false},
  };
  for (const auto& r : rows) {
    if (r.Status) {
      EXPECT_EQ(Manager().Text(r.Row, TfrmTransferMngr::colStatus), r.Status) << r.Row;
    }
    Manager().PrepareMenu(r.Row);
    EXPECT_EQ(Manager().popCancel->isEnabled(), r.Cancel) << r.Row;
    EXPECT_EQ(Manager().popResubmit->isEnabled(), r.Resubmit) << r.Row;
  }
  Manager().PrepareMenu(1);
  Manager().popResubmitClick();  // a failed item stays failed
  EXPECT_EQ(Named(queue, "..").State, isError);
  EXPECT_EQ(Manager().Text(0, TfrmTransferMngr::colSize), "100");
  EXPECT_EQ(Manager().Text(0, TfrmTransferMngr::colLocal).toStdString(), Local.Path() + "/");
  EXPECT_EQ(Manager().Text(0, TfrmTransferMngr::colHost), "/");

  // Add one more pending item, then drag the last pending row to the top: it goes next.
  Add(queue, "p3");
  ASSERT_EQ(Manager().RowCount(), 6);
  Manager().lvItems->setCurrentItem(Manager().lvItems->topLevelItem(5));
  Manager().DropAt(0);
  EXPECT_EQ(Manager().Text(0, TfrmTransferMngr::colFile), "p3");
  EXPECT_EQ(queue.Item(0)->SourceName, "p3");
  Manager().PrepareMenu(3);  // stall1, busy: skipped
  Manager().popCancelClick();
  EXPECT_EQ(Manager().Text(3, TfrmTransferMngr::colStatus), "Cancelled") << "at once, before the abort ends";
  ASSERT_TRUE(WaitFor([&] { return Named(queue, "p3").State == isBusy && Retrs() == retrs + 1; }, Long));
  EXPECT_EQ(Named(queue, "p2").State, isPending);

  // Everything ended: re-submitting the cancelled p1 starts it at once.
  ASSERT_EQ(Progress().CurrentItem(), &Named(queue, "p3"));
  Progress().btnSkipClick();
  Progress().Refresh();
  EXPECT_FALSE(Progress().btnSkip->isEnabled()) << "skipped once: the refresh leaves it so";
  Manager().PrepareMenu(5);
  Manager().popCancelClick();
  ASSERT_TRUE(WaitFor([&] { return queue.StateCount[isBusy] == 0 && queue.StateCount[isPending] == 0; }, Long));
  Manager().PrepareMenu(4);
  ASSERT_EQ(Manager().RowItem(4)->SourceName, "p1");
  Manager().popResubmitClick();
  EXPECT_EQ(Named(queue, "p1").State, isBusy);
  EXPECT_TRUE(WaitFor([&] { return Retrs() == retrs + 2; }, Long));
  Manager().close();
  EXPECT_FALSE(Window->btnTransferMng->isChecked());
  EXPECT_FALSE(Window->mnuTransferMng->isChecked());
}

TEST_F(TransferWindows, TheProgressWindowStartsFoldedAndUnfoldsItsLog) {
  for (QAction* action : {Window->mnuShowTransferInfo, Window->mnuTransferMng}) {
    const auto owners = action->associatedObjects();
    EXPECT_TRUE(std::any_of(owners.begin(), owners.end(), [](QObject* o) {
      auto* menu = qobject_cast<QMenu*>(o);
      return menu && menu->title() == "&Options";
    })) << action->text().toStdString();
  }
  TfrmTransfer& p = Progress();
  const int folded = p.height();
  p.layout()->activate();
  for (QWidget* w : p.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    EXPECT_TRUE(LayoutHolds(p.layout(), w)) << w->metaObject()->className() << " " << w->toolTip().toStdString();
  // No figure hides another; the pin button has a face whether pinned or not.
  QList<QWidget*> shown = p.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  shown.removeIf([&p](QWidget* w) { return !w->isVisibleTo(&p); });
  ExpectApart(&p, shown, "progress window");
  for (bool pinned : {false, true, false}) {
    p.btnPin->setChecked(pinned);
    EXPECT_FALSE(p.btnPin->icon().isNull()) << pinned;
  }
  EXPECT_EQ(p.aniCopy->size(), QSize(48, 32));
  EXPECT_LT(p.aniCopy->geometry().right(), p.tabQueues->x()) << "the clip sits left of the queue tabs";
  EXPECT_TRUE(p.Folded());
  EXPECT_EQ(p.btnDetails->text(), "&Details >>");
  EXPECT_EQ(p.maximumHeight(), 420 - TfrmTransfer::LogDesignHeight);
  p.btnDetails->click();
  EXPECT_EQ(p.btnDetails->text(), "<< &Details");
  EXPECT_EQ(p.height(), folded + TfrmTransfer::LogDesignHeight + 8);
  EXPECT_EQ(p.minimumHeight(), TfrmTransfer::MinHeightUnfolded);
  EXPECT_EQ(p.minimumWidth(), TfrmTransfer::MinWidth);
  EXPECT_FALSE(p.memoLog->isHidden());
  p.btnDetails->click();
  EXPECT_TRUE(p.memoLog->isHidden());
  EXPECT_EQ(p.height(), folded);
  EXPECT_EQ(p.maximumHeight(), 420 - TfrmTransfer::LogDesignHeight);
  // A pinned window is remembered when the preferences are next confirmed.
  p.btnPin->setChecked(true);
  SetDialogAnswerer([](QDialog& dialog) {
    dynamic_cast<TfrmOptions&>(dialog).btnOK->click();
    return dialog.result();
  });
  Window->mnuPreferences->trigger();
  SetDialogAnswerer(nullptr);
  EXPECT_TRUE(Window->Prefs.PinTransferWindow);
}

}  // namespace
}  // namespace ferrowin::test
