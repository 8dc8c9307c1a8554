// The main window against a real server: connecting through the site manager, tabs and
// captions, the connected-views counter, the close question, and what the registry stand-in
// brings back. Every prompt is answered through the prompt service.

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <fstream>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMovie>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <filesystem>

#include "HostView.h"
#include "LastConnections.h"
#include "LogControl.h"
#include "LoclView.h"
#include "Main.h"
#include "Prompts.h"
#include "Screenshots.h"
#include "ViewTestSupport.h"

namespace ferrowin::test {
namespace {

namespace fs = std::filesystem;

class MainWindow : public TViewTest {
 protected:
  void SetUp() override {
    TViewTest::SetUp();
    // No site manager at start: the tests open it themselves.
    std::ofstream(Home.File("ferrowin.ini")) << "[Connection]\r\nShowManager=0\r\n";
    AskedPrompts().clear();
    std::ofstream(Server.RootFile("hello.txt")) << "hi";  // a listing with something to show
  }
  void Release() override {
    SetPromptAnswerer(nullptr);
    SetDialogAnswerer(nullptr);
    Window.reset();
  }
  TfrmMain& Open() {
    Window = std::make_unique<TfrmMain>();
    Window->show();
    WaitFor([&] { return Window->isVisible(); });
    return *Window;
  }
  // Answers the site manager with a site on the test server.
  void AnswerManager(const std::string& name, const std::string& password = TPyFtpServer::Password) {
    SetDialogAnswerer([=, this](QDialog& dialog) {
      auto& manager = dynamic_cast<TfrmManager&>(dialog);
      manager.cmboSite->setEditText(QString::fromStdString(name));
      manager.editHost->setText("127.0.0.1");
      manager.cbAnonymous->setChecked(false);
      manager.editUser->setText(TPyFtpServer::UserName);
      manager.editPassword->setText(QString::fromStdString(password));
      manager.editPort->setText(QString::number(Server.Port()));
      manager.btnOK->click();
      return manager.result();
    });
  }
  bool ConnectedAndListed(THostView* view) {
    return WaitFor([&] { return view->Connected() && view->ListView()->ItemCount() > 0 && !view->Animating; });
  }
  TPyFtpServer Server;
  std::unique_ptr<TfrmMain> Window;
};

TEST_F(MainWindow, ConnectThroughTheSiteManagerShowsTheFolder) {
  TfrmMain& w = Open();
  EXPECT_EQ(w.windowTitle(), "Disconnected - Ferrowin");
  SaveScreenshot(&w, "main_disconnected");
  AnswerManager("Test site");
  w.btnConnectClick();
  ASSERT_TRUE(ConnectedAndListed(w.CurrentHostView()));
  EXPECT_EQ(w.pgctrlHost->tabText(0), "Test site");
  EXPECT_EQ(w.windowTitle(), "Test site - Ferrowin");
  EXPECT_EQ(w.CurrentHostView()->ListView()->Caption(0), "hello.txt");
  EXPECT_EQ(w.ConnectedViews(), 1);
  EXPECT_TRUE(w.btnDisconnect->isEnabled());
  EXPECT_EQ(w.LastConnections[0], "Test site");
  SaveScreenshot(&w, "main_connected");

  // A second connect while this one is connected opens a second tab.
  AnswerManager("Second");
  w.btnConnectClick();
  ASSERT_EQ(w.pgctrlHost->count(), 2);
  ASSERT_TRUE(ConnectedAndListed(w.CurrentHostView()));
  EXPECT_EQ(w.pgctrlHost->currentIndex(), 1);
  EXPECT_EQ(w.ConnectedViews(), 2);

  // Disconnecting gives the tab and the window their "Disconnected" captions back.
  w.btnDisconnectClick();
  ASSERT_TRUE(WaitFor([&] { return w.pgctrlHost->tabText(1) == "Disconnected"; }));
  EXPECT_EQ(w.windowTitle(), "Disconnected - Ferrowin");
  EXPECT_EQ(w.ConnectedViews(), 1);
  EXPECT_FALSE(w.btnDisconnect->isEnabled());
}

TEST_F(MainWindow, ConnectedViewsCounterNeverGoesBelowZero) {
  TfrmMain& w = Open();
  THostView& view = *w.CurrentHostView();
  w.HostViewEvent(view, hsLoggedIn, 0);
  EXPECT_TRUE(w.cmboHostTree->isEnabled());
  w.HostViewEvent(view, hsDisconnected, 0);
  w.HostViewEvent(view, hsDisconnected, 0);
  EXPECT_EQ(w.ConnectedViews(), 0);
  EXPECT_FALSE(w.cmboHostTree->isEnabled());
  w.HostViewEvent(view, hsLoggedIn, 0);
  w.HostViewEvent(view, hsLoggedIn, 0);
  EXPECT_EQ(w.ConnectedViews(), 1);  // never above the number of host tabs
}

TEST_F(MainWindow, ClosingTabsActivatesTheRightNeighbour) {
  TfrmMain& w = Open();
  w.NewHostView();
  w.NewHostView();
  THostView* second = w.HostViewAt(1);
  w.pgctrlHost->setCurrentIndex(0);
  w.btnHostCloseClick();
  EXPECT_EQ(w.pgctrlHost->count(), 2);
  EXPECT_EQ(w.CurrentHostView(), second);  // the new first tab

  w.NewLocalView();
  w.NewLocalView();
  TLocalView* last = w.LocalViewAt(2);
  w.pgctrlLocal->setCurrentIndex(0);
  w.btnLocalCloseClick();
  EXPECT_EQ(w.pgctrlLocal->count(), 2);
  EXPECT_EQ(w.CurrentLocalView(), last);  // closing the first activates the last
  w.btnLocalCloseClick();
  w.btnLocalCloseClick();  // the last local tab stays
  EXPECT_EQ(w.pgctrlLocal->count(), 1);
}

TEST_F(MainWindow, ASiteWithoutPasswordAndNoPromptNeverConnects) {
  TfrmMain& w = Open();
  w.Prefs.PromptForPass = false;
  TSite site;
  site.Name = "No password";
  site.Host = "127.0.0.1";
  site.Port = Server.Port();
  site.User = TPyFtpServer::UserName;
  w.ConnectSite(site);
  QCoreApplication::processEvents();
  EXPECT_FALSE(w.CurrentHostView()->Animating);
  EXPECT_FALSE(w.CurrentHostView()->FTP().Busy());
  EXPECT_EQ(w.pgctrlHost->tabText(0), "No password");  // the caption stays
  EXPECT_TRUE(w.LastConnections[0].isEmpty());
}

TEST_F(MainWindow, CloseQuestionCountsActiveConnections) {
  TfrmMain& w = Open();
  for (const char* name : {"One", "Two"}) {
    AnswerManager(name);
    w.btnConnectClick();
    ASSERT_TRUE(ConnectedAndListed(w.CurrentHostView()));
  }
  SetPromptAnswerer([](const TPrompt&) { return QMessageBox::No; });
  EXPECT_FALSE(w.close());
  ASSERT_EQ(AskedPrompts().size(), 1u);
  EXPECT_EQ(AskedPrompts()[0].Text, "Are you sure you wish to quit?\r\nThere are still 2 active connections.");
  SetPromptAnswerer([](const TPrompt&) { return QMessageBox::Yes; });
  EXPECT_TRUE(w.close());
}

TEST_F(MainWindow, WindowPlacementComesBackFromTheRegistry) {
  {
    TfrmMain& w = Open();
    w.setGeometry(50, 60, 700, 500);
    WaitFor([&] { return w.geometry().width() == 700; }, std::chrono::seconds(2));
    for (const char* site : {"a", "b", "c", "d"}) w.AddLastConnection(site);
    w.AddLastConnection("a");  // slot 3 goes to slot 0
    ASSERT_TRUE(w.close());
    Window.reset();
  }
  auto registry = OpenRegistry();
  EXPECT_EQ(registry->value("Windows/Main/State").toString(), "0");
  EXPECT_EQ(registry->value("Windows/Main/Width").toString(), "700");
  EXPECT_EQ(registry->value("Last Connections1/Site").toString(), "a");
  EXPECT_EQ(registry->value("Last Connections2/Site").toString(), "d");
  registry->setValue("Windows/Main/State", "2");
  registry->sync();
  registry.reset();
  TfrmMain& w = Open();
  EXPECT_TRUE(w.isMaximized());
  EXPECT_EQ(w.LastConnections[3], "b");
  EXPECT_TRUE(w.mnuLastConnect->isEnabled());
  w.mnuLastConnectClick();
  EXPECT_EQ(w.mnuLast[0]->text(), "&1 a");
  EXPECT_FALSE(w.mnuLast[4]->isVisible());
}

TEST_F(MainWindow, ActivityAnimationComesFromOurClip) {
  TfrmMain& w = Open();
  ASSERT_NE(w.aniActivity->movie(), nullptr);
  EXPECT_EQ(w.aniActivity->movie()->frameCount(), 12);
}

TEST_F(MainWindow, UnhandledErrorsBecomeRedLogLines) {
  TfrmMain& w = Open();
  w.AppException("Something went wrong");
  ASSERT_FALSE(w.memoLog->Entries().empty());
  EXPECT_EQ(w.memoLog->Entries().back().Text, "Something went wrong");
  EXPECT_EQ(w.memoLog->Entries().back().Color, ErrorColor);
}

}  // namespace
}  // namespace ferrowin::test
