// The command line's second pass through the real main window against pyftpdlib: plain
// receive lists go to the General queue without a browsing connection; send lists queue
// uploads with the file's real size and also connect the tab.

#include <fstream>

#include <QLabel>
#include <QPushButton>

#include "BatchRun.h"
#include "CommandLineUsageForm.h"
#include "HostView.h"
#include "Main.h"
#include "Prompts.h"
#include "Transfer.h"
#include "ViewTestSupport.h"

namespace ferrowin::test {
namespace {

class CommandLine : public TViewTest {
 protected:
  void SetUp() override {
    TViewTest::SetUp();
    std::ofstream(Home.File("ferrowin.ini")) << "[Connection]\r\nShowManager=0\r\n";
    SetPromptAnswerer([](const TPrompt&) { return QMessageBox::Ok; });
  }
  void Release() override {
    Window.reset();
    QCoreApplication::processEvents();
    SetPromptAnswerer(nullptr);
  }
  TfrmMain& Open(TStartOptions options) {
    options.Host = "127.0.0.1";
    options.Port = Server.Port();
    options.LocalFolder = Local.Path();
    Window = std::make_unique<TfrmMain>(std::move(options));
    Window->show();
    return *Window;
  }
  bool Idle(TTransferItems& q, int count) {
    return WaitFor([&] { return q.Count() == count && q.StateCount[isDone] + q.StateCount[isError] == count; },
                   std::chrono::seconds(30));
  }
  TPyFtpServer Server;
  TTempDir Local;
  std::unique_ptr<TfrmMain> Window;
};

// A batch run stops waiting for its connection at a failure, never at a state on the way to
// the login (a check may come while the connection is idle and before "logged in" arrives).
TEST_F(CommandLine, OnlyAFailureEndsTheWaitForTheConnection) {
  Window = std::make_unique<TfrmMain>();
  THostView& view = *Window->CurrentHostView();
  for (int failure : {hsCantLogIn, hsDisconnected, hsError}) {
    TBatchRun run(*Window->TransferList);
    run.WatchConnection(view, false);
    for (int code : {hsStatus, hsBusy, hsConnected, hsReady, hsReasonDone}) {
      run.HostState(view, code);
      run.Check();
    }
    EXPECT_FALSE(run.Ended()) << failure;
    run.HostState(view, failure);
    run.Check();
    EXPECT_TRUE(run.Ended() && run.ExitStatus() == 1) << failure;
  }
}

TEST_F(CommandLine, TwoPlainNamesQueueTwoDownloadsAndOpenNoConnection) {
  std::filesystem::create_directories(Server.RootFile("pub/sub"));
  WriteFile(Server.RootFile("pub/a b.bin"), std::string(70000, 'x'));
  WriteFile(Server.RootFile("pub/sub/c.txt"), "sea");
  TStartOptions o;
  o.User = TPyFtpServer::UserName;
  o.Password = TPyFtpServer::Password;
  o.HostFolder = "/pub";
  o.ReceiveList = "a b.bin;sub/c.txt";
  TfrmMain& w = Open(o);
  TTransferItems& general = w.TransferList->General();
  ASSERT_TRUE(Idle(general, 2));
  EXPECT_EQ(general.StateCount[isDone], 2);
  EXPECT_EQ(ReadFile(Local.File("a b.bin")), std::string(70000, 'x'));
  EXPECT_EQ(ReadFile(Local.File("c.txt")), "sea");
  EXPECT_FALSE(w.CurrentHostView()->Connected());
  EXPECT_TRUE(w.CurrentHostView()->LogEntries().empty()) << "the browsing connection was never used";
}

TEST_F(CommandLine, AFullPathSendListQueuesOneUploadAsAnonymousAndConnects) {
  TTempDir elsewhere;
  WriteFile(elsewhere.File("up.bin"), std::string(12345, 'u'));
  TStartOptions o;  // anonymous, no password: the EMail preference is the password
  o.SendList = elsewhere.File("up.bin") + ";" + elsewhere.File("missing.bin");
  TfrmMain& w = Open(o);
  TTransferItems& general = w.TransferList->General();
  ASSERT_TRUE(Idle(general, 1));
  const TTransferItem& item = *general.Item(0);
  EXPECT_TRUE(item.IsUpload);
  EXPECT_EQ(item.Size, 12345);
  EXPECT_EQ(item.SourceFolder, elsewhere.Path() + "/");
  EXPECT_EQ(item.Password, w.Prefs.EMail);
  EXPECT_EQ(item.State, isDone);
  EXPECT_EQ(ReadFile(Server.RootFile("up.bin")), std::string(12345, 'u'));
  EXPECT_TRUE(WaitFor([&] { return w.CurrentHostView()->Connected(); }));
}

TEST(UsageWindow, ShowsTheUsageAndOKCloses) {
  TfrmCommandLineOptions usage;
  EXPECT_EQ(usage.windowTitle(), "Ferrowin Command Line Usage");
  EXPECT_EQ(usage.UsageText, CommandLineUsage("\n\r"));
  EXPECT_EQ(usage.lblUsage->text(), CommandLineUsage("\n"));  // no stray blank before each line
  EXPECT_TRUE(usage.btnOK->isDefault());
  usage.show();
  usage.btnOK->click();
  EXPECT_EQ(usage.result(), QDialog::Accepted);
  EXPECT_FALSE(usage.isVisible());
}

}  // namespace
}  // namespace ferrowin::test
