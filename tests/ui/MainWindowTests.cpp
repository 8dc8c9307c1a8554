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
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <filesystem>

#include <QApplication>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

#include "HostView.h"
#include "PasswordForm.h"
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

TEST_F(MainWindow, UploadAndDownloadNeedASelectionOnTheirSideAndAConnection) {
  TTempDir disk;
  std::ofstream(disk.File("local.txt")) << "l";
  TfrmMain& w = Open();
  TLocalView& local = *w.CurrentLocalView();
  ASSERT_TRUE(local.ChangeFolderWait(disk.Path()));
  auto buttons = [&] { return std::pair{w.btnUpload->isEnabled(), w.btnDownload->isEnabled()}; };
  auto select = [](TCustomView& view, bool on) {
    for (int row = 0; row < view.ListView()->ItemCount(); ++row) view.ListView()->SetSelected(row, on);
  };
  EXPECT_EQ(buttons(), std::pair(false, false));
  ASSERT_TRUE(WaitFor([&] { return local.ListView()->ItemCount() > 0; }));
  select(local, true);
  EXPECT_EQ(buttons(), std::pair(false, false)) << "nothing to send to while disconnected";
  AnswerManager("Buttons");
  w.btnConnectClick();
  THostView& host = *w.CurrentHostView();
  ASSERT_TRUE(ConnectedAndListed(&host));
  EXPECT_EQ(buttons(), std::pair(true, false));
  select(host, true);
  EXPECT_EQ(buttons(), std::pair(true, true));
  select(local, false);
  EXPECT_EQ(buttons(), std::pair(false, true));
  host.Refresh();  // a new listing drops the selection it was made in
  EXPECT_TRUE(WaitFor([&] { return buttons() == std::pair(false, false); }));
  select(local, true);
  ASSERT_TRUE(ConnectedAndListed(&host));
  select(host, true);
  EXPECT_EQ(buttons(), std::pair(true, true));
  w.btnDisconnectClick();
  EXPECT_TRUE(WaitFor([&] { return !host.Connected() && buttons() == std::pair(false, false); }));
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
  EXPECT_TRUE(w.pgctrlLocal->documentMode() && w.pgctrlHost->documentMode()) << "both sides' tabs look alike";
  w.NewHostView();
  w.NewHostView();
  THostView* second = w.HostViewAt(1);
  const QPointer<QObject> closedHost = w.HostViewAt(0), closedLocal = w.LocalViewAt(0);
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
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(closedHost.isNull() && closedLocal.isNull()) << "a closed tab's view goes with it";
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

// A site on the scripted server.
TSite ScriptedSite(int port, const std::string& password = "pw") {
  TSite site;
  site.Name = "Scripted";
  site.Host = "127.0.0.1";
  site.Port = port;
  site.User = "joe";
  site.Password = password;
  site.Firewall = false;
  return site;
}

std::vector<std::string> ListingActions(const std::string& text) {
  return {Send("150 Here it comes."), Action("data", Json(text)), Send("226 Done.")};
}

int RowOf(THostView& view, const QString& caption) {
  for (int i = 0; i < view.ListView()->ItemCount(); ++i)
    if (view.ListView()->Caption(i) == caption) return i;
  return -1;
}

QModelIndex NodeIndex(TTreeCombo& tree, const QString& caption) {
  const QModelIndexList found = tree.Nodes()->match(tree.Nodes()->index(0, 0), Qt::DisplayRole, caption, 1,
                                                    Qt::MatchExactly | Qt::MatchRecursive);
  return found.isEmpty() ? QModelIndex() : found.front();
}

// The drop-down holds the current tab's folders, and one click opens it without choosing:
// the release of that click lands on the node under the pointer.
TEST_F(MainWindow, TheFolderDropDownIsTheCurrentTabsAndOpensOnOneClick) {
  fs::create_directory(Server.RootFile("images"));
  fs::create_directory(Server.RootFile("pub"));
  TfrmMain& w = Open();
  AnswerManager("A");
  w.btnConnectClick();
  THostView* a = w.CurrentHostView();
  ASSERT_TRUE(ConnectedAndListed(a));
  ASSERT_TRUE(a->ChangeFolderWait("/images/"));
  AnswerManager("C");
  w.btnConnectClick();
  THostView* c = w.CurrentHostView();
  ASSERT_TRUE(ConnectedAndListed(c));
  ASSERT_TRUE(c->ChangeFolderWait("/pub/"));
  w.pgctrlHost->setCurrentIndex(0);
  TTreeCombo& tree = *w.cmboHostTree;
  ASSERT_NE(tree.SelectedNode(), nullptr);
  EXPECT_EQ(tree.SelectedNode()->data(TTreeCombo::PathRole).toString(), "/images/");

  QTest::mousePress(&tree, Qt::LeftButton);
  ASSERT_TRUE(WaitFor([&] { return tree.view()->isVisible(); }));
  QWidget* viewport = tree.Tree()->viewport();
  QTest::mouseRelease(viewport, Qt::LeftButton, {}, tree.Tree()->visualRect(tree.Tree()->currentIndex()).center());
  EXPECT_TRUE(tree.view()->isVisible());
  // Over the tab area, as wide as it less 8 pixels.
  EXPECT_GE(tree.view()->width(), w.pgctrlHost->width() - 8);
  EXPECT_EQ(tree.view()->window()->x(), w.pgctrlHost->mapToGlobal(QPoint(4, 0)).x());
  EXPECT_TRUE(QTest::qWaitForWindowExposed(tree.view()->window()));
  SaveScreenshot(tree.view()->window(), "main_tree_dropdown_open");
  SaveScreenScreenshot("main_tree_dropdown_open_screen");
  // The second click chooses, for this tab's connection.
  const QModelIndex pub = NodeIndex(tree, "pub");
  ASSERT_TRUE(pub.isValid());
  QTest::mouseClick(viewport, Qt::LeftButton, {}, tree.Tree()->visualRect(pub).center());
  ASSERT_TRUE(WaitFor([&] { return a->GetFolder() == "/pub/" && !a->Animating; }));
  EXPECT_FALSE(tree.view()->isVisible());
  EXPECT_EQ(c->GetFolder(), "/pub/");
  w.pgctrlHost->setCurrentIndex(1);
  EXPECT_EQ(tree.SelectedNode()->data(TTreeCombo::PathRole).toString(), "/pub/");
}

// Busy work never hides the list: it keeps the keyboard, and Stop during a slow change of
// folder ends the busy state on the folder shown before.
TEST_F(MainWindow, StopDuringASlowChangeLeavesTheListUsable) {
  TScript script;
  script.StandardLogin()
      .On("PASV", {Action("pasv", Json("227 Entering Passive Mode ({})."))})
      .On("PWD", {Send("257 \"/\" is current directory.")}, 1)
      .On("PWD", {Send("257 \"/fast\" is current directory.")})
      .On("CWD /slow/", {Action("stall", "3"), Send("250 Changed at last.")})
      .Reply("CWD /fast/", "250 Changed.")
      .On("LIST", ListingActions("drwxr-xr-x 2 u g 512 Jan 05 10:30 fast\r\n"
                                 "drwxr-xr-x 2 u g 512 Jan 05 10:30 slow\r\n"), 1)
      .On("LIST", ListingActions("-rw-r--r-- 1 u g 10 Jan 05 10:30 f.txt\r\n"));
  TFakeFtpServer server(script.ToJson());
  TfrmMain& w = Open();
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  w.ConnectSite(ScriptedSite(server.Port()));
  THostView& view = *w.CurrentHostView();
  ASSERT_TRUE(ConnectedAndListed(&view));
  QAbstractItemView* list = view.ListView()->CurrentView();
  list->setFocus();
  auto enter = [&](const char* folder) {
    view.ListView()->SetFocused(RowOf(view, folder));
    QTest::keyClick(list, Qt::Key_Return);
  };
  // Into a folder not seen yet and back with the keyboard: the list keeps the focus.
  enter("fast");
  EXPECT_TRUE(view.ListView()->isVisible());
  ASSERT_TRUE(WaitFor([&] { return view.GetFolder() == "/fast/" && !view.Animating; }));
  EXPECT_EQ(QApplication::focusWidget(), list);
  QTest::keyClick(list, Qt::Key_Backspace);
  EXPECT_EQ(view.GetFolder(), "/");
  // Stop while the server sits on a change of folder.
  enter("slow");
  ASSERT_TRUE(view.Animating);
  ASSERT_TRUE(WaitFor([&] { return view.LogEntries().back().Message == "CWD /slow/"; }));  // on the server now
  EXPECT_TRUE(view.ListView()->isVisible());
  EXPECT_TRUE(w.lblBusy->isVisible());
  EXPECT_EQ(QApplication::focusWidget(), list);
  w.btnStop->trigger();
  ASSERT_TRUE(WaitFor([&] { return !view.Animating; }));
  EXPECT_EQ(view.GetFolder(), "/");
  EXPECT_EQ(view.ListView()->ItemCount(), 2);
  EXPECT_FALSE(w.lblBusy->isVisible());
  EXPECT_NE(w.aniActivity->movie()->state(), QMovie::Running);
  EXPECT_EQ(QApplication::focusWidget(), list);
  SaveScreenshot(&w, "main_after_stop_during_slow_cwd");
}

// Stored widths come back whatever the style, for every view of the side, and go back
// unchanged; the close after "Yes" sends no QUIT.
TEST_F(MainWindow, ColumnWidthsSurviveARunAndTheCloseIsQuick) {
  {
    auto registry = OpenRegistry();
    registry->setValue("Windows/Main/LocalViewStyle", "3");
    registry->setValue("Windows/Main/Column Widths/LocalCol0", "60");
    registry->setValue("Windows/Main/Column Widths/LocalCol1", "200");
    registry->setValue("Windows/Main/Column Widths/HostCol2", "150");
  }
  TScript script;
  script.StandardLogin()
      .On("PASV", {Action("pasv", Json("227 Entering Passive Mode ({})."))})
      .Reply("PWD", "257 \"/\" is current directory.")
      .On("LIST", ListingActions(""));
  TFakeFtpServer server(script.ToJson());
  TfrmMain& w = Open();
  EXPECT_EQ(w.CurrentLocalView()->ListView()->ReportView()->columnWidth(0), 60);
  EXPECT_EQ(w.CurrentLocalView()->ListView()->ReportView()->columnWidth(1), 200);
  EXPECT_EQ(w.CurrentHostView()->ListView()->ColumnWidth(2), 150);
  w.NewLocalView();
  EXPECT_EQ(w.CurrentLocalView()->ListView()->ColumnWidth(0), 60);
  w.CurrentLocalView()->ListView()->ReportView()->setColumnWidth(1, 210);  // widened during the run
  w.ConnectSite(ScriptedSite(server.Port()));
  ASSERT_TRUE(WaitFor([&] { return w.CurrentHostView()->Connected() && !w.CurrentHostView()->Animating; }));
  SetPromptAnswerer([](const TPrompt&) { return QMessageBox::Yes; });
  ASSERT_TRUE(w.close());
  Window.reset();
  EXPECT_TRUE(TFTPThread::WaitForWorkers(std::chrono::seconds(5)));
  const auto received = server.Received();
  EXPECT_EQ(std::count(received.begin(), received.end(), "QUIT"), 0);
  auto registry = OpenRegistry();
  EXPECT_EQ(registry->value("Windows/Main/Column Widths/LocalCol0").toString(), "60");
  EXPECT_EQ(registry->value("Windows/Main/Column Widths/LocalCol1").toString(), "210");
  EXPECT_EQ(registry->value("Windows/Main/Column Widths/HostCol2").toString(), "150");
}

// A second start brings the window forward as it is.
TEST_F(MainWindow, ComingForwardKeepsTheWindowMaximized) {
  TfrmMain& w = Open();
  w.showMaximized();
  ASSERT_TRUE(WaitFor([&] { return w.isMaximized(); }));
  w.ComeForward();
  EXPECT_TRUE(w.isMaximized());
  w.setWindowState(Qt::WindowMaximized | Qt::WindowMinimized);
  w.ComeForward();
  EXPECT_FALSE(w.isMinimized());
  EXPECT_TRUE(w.isMaximized());
}

// The splitter folds the log away, and a log closed hidden starts hidden with "Show Log" up.
TEST_F(MainWindow, TheSplitterHidesTheLogAndTheNextStartKeepsItHidden) {
  {
    TfrmMain& w = Open();
    QSplitter* splitter = nullptr;
    for (QSplitter* s : w.findChildren<QSplitter*>())
      if (s->orientation() == Qt::Vertical) splitter = s;
    ASSERT_NE(splitter, nullptr);
    auto drag = [&](QSplitter* s, QPoint by) {
      QWidget* handle = s->handle(1);
      const QPoint middle = handle->rect().center();
      for (auto [type, at] : {std::pair{QEvent::MouseButtonPress, middle}, {QEvent::MouseMove, middle + by},
                              {QEvent::MouseButtonRelease, middle + by}}) {
        QMouseEvent e(type, at, handle->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(handle, &e);
      }
    };
    auto* sides = qobject_cast<QSplitter*>(splitter->widget(1));
    ASSERT_NE(sides, nullptr);
    for (QPoint by : {QPoint(-5000, 0), QPoint(5000, 0)}) {  // neither side can be dragged out of sight
      drag(sides, by);
      EXPECT_GT(std::min(sides->sizes()[0], sides->sizes()[1]), 0) << by.x();
    }
    drag(splitter, QPoint(0, -400));
    EXPECT_FALSE(w.btnShowLog->isChecked());
    EXPECT_FALSE(w.mnuShowLog->isChecked());
    EXPECT_FALSE(w.memoLog->isVisible());
    ASSERT_TRUE(w.close());
    Window.reset();
  }
  TfrmMain& w = Open();
  EXPECT_FALSE(w.btnShowLog->isChecked());
  EXPECT_FALSE(w.memoLog->isVisible());
  w.btnShowLog->trigger();  // the first press shows it
  EXPECT_TRUE(w.memoLog->isVisible());
  EXPECT_TRUE(w.mnuShowLog->isChecked());
}

// At the default size every panel of the status bars holds its text.
TEST_F(MainWindow, StatusPanelsFitTheirTextsAtTheDefaultSize) {
  TfrmMain& w = Open();
  w.Prefs.ListHidden = true;  // pyftpdlib refuses "LIST -latr": the listing is asked again plainly
  AnswerManager("Site");
  w.btnConnectClick();
  ASSERT_TRUE(ConnectedAndListed(w.CurrentHostView()));
  ASSERT_EQ(w.width(), 669);
  ASSERT_TRUE(WaitFor([&] { return !w.CurrentLocalView()->StatusBar()->PanelText(3).isEmpty(); }));
  QCoreApplication::processEvents();
  for (TCustomView* view : {static_cast<TCustomView*>(w.CurrentLocalView()), static_cast<TCustomView*>(w.CurrentHostView())}) {
    TStatusBar* bar = view->StatusBar();
    for (int i = 0; i < bar->PanelCount(); ++i)
      EXPECT_GE(bar->PanelWidth(i), bar->fontMetrics().horizontalAdvance(bar->PanelText(i)))
          << i << " " << bar->PanelText(i).toStdString();
    EXPECT_GE(bar->height(), bar->heightForWidth(bar->width()));
  }
  // A text that takes the local bar a row more takes the host bar with it: the lists end level.
  TStatusBar* local = w.CurrentLocalView()->StatusBar();
  TStatusBar* host = w.CurrentHostView()->StatusBar();
  local->SetPanelText(1, QString(60, 'x'));
  ASSERT_TRUE(WaitFor([&] { return local->RowCount() > host->RowCount() && local->height() == host->height(); }))
      << local->height() << " " << host->height();
  EXPECT_EQ(local->mapTo(&w, QPoint()).y(), host->mapTo(&w, QPoint()).y());
  EXPECT_EQ(w.CurrentHostView()->ListView()->Caption(0), "hello.txt");
  SaveScreenshot(&w, "main_after_refused_list_latr_default_size");
}

// Closing a connected tab stops counting it; a clone keeps the site's firewall choice; a
// deleted site leaves the last connections when chosen.
TEST_F(MainWindow, TabsAndRecentSitesFollowWhatIsReallyThere) {
  TfrmMain& w = Open();
  AnswerManager("Counted");
  w.btnConnectClick();
  ASSERT_TRUE(ConnectedAndListed(w.CurrentHostView()));
  EXPECT_EQ(w.ConnectedViews(), 1);
  w.NewHostView();
  w.pgctrlHost->setCurrentIndex(0);
  w.btnHostCloseClick();
  EXPECT_EQ(w.ConnectedViews(), 0);
  EXPECT_FALSE(w.cmboHostTree->isEnabled());
  AnswerManager("Cloned");
  w.btnConnectClick();
  ASSERT_TRUE(ConnectedAndListed(w.CurrentHostView()));

  // The clone logs in through the firewall as its original did (this one refuses: no more).
  EngineSettings().MaxAttempts = 1;
  SetPromptAnswerer([](const TPrompt&) { return QMessageBox::Ok; });
  SetDialogAnswerer([](QDialog&) { return int(QDialog::Rejected); });
  ASSERT_TRUE(w.CurrentHostView()->Connected());
  w.CurrentHostView()->UseFirewall = true;
  w.Prefs.FirewallEnabled = true;
  w.Prefs.FirewallHost = "127.0.0.1";
  w.Prefs.FirewallPort = Server.Port();
  w.btnHostNewClick();
  EXPECT_TRUE(w.CurrentHostView()->UseFirewall);
  EXPECT_EQ(w.CurrentHostView()->FTP().FirewallHost, "127.0.0.1");

  w.AddLastConnection("Deleted since");
  w.mnuLast1Click(0);
  ASSERT_FALSE(AskedPrompts().empty());
  EXPECT_NE(AskedPrompts().back().Text.indexOf("Deleted since"), -1);
  EXPECT_NE(w.LastConnections[0], "Deleted since");
  // The last one gone: the menu item that connects to it is off.
  for (const char* name : {"Counted", "Cloned"}) w.LastConnections.Remove(name);
  w.AddLastConnection("Also deleted");
  w.mnuLast1Click(0);
  EXPECT_FALSE(w.mnuLastConnect->isEnabled());
}

// A refused password: the server's reason in a message, then the prompt again with the user
// name; OK tries once more (saving the password only when asked), Cancel sends nothing more.
TEST_F(MainWindow, ARefusedLoginAsksAgainWithTheUserName) {
  struct {
    bool Save;
  } cases[] = {{false}, {true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Save);
    TfrmMain& w = Open();
    w.Prefs.Retries = 1;  // whatever the engine does with a refusal, no second try here
    w.ApplyPreferences();
    TSite site = ScriptedSite(Server.Port(), "Wr0ngPass");
    site.User = TPyFtpServer::UserName;
    ASSERT_TRUE(TSiteFile(w.SitesFile).WriteSite(site));
    AskedPrompts().clear();
    SetPromptAnswerer([](const TPrompt&) { return QMessageBox::Ok; });
    QString userShown;
    bool saveOffed = false;
    SetDialogAnswerer([&](QDialog& dialog) {
      auto& prompt = dynamic_cast<TdlgPassword&>(dialog);
      userShown = prompt.editUser->text();
      saveOffed = !prompt.cbSavePassword->isHidden() && !prompt.cbSavePassword->isChecked();
      prompt.editPassword->setText(TPyFtpServer::Password);
      prompt.cbSavePassword->setChecked(c.Save);
      return int(QDialog::Accepted);
    });
    w.ConnectSite(site);
    ASSERT_TRUE(ConnectedAndListed(w.CurrentHostView()));
    EXPECT_EQ(userShown, TPyFtpServer::UserName);
    EXPECT_TRUE(saveOffed);
    ASSERT_FALSE(AskedPrompts().empty());
    EXPECT_NE(AskedPrompts().front().Text.indexOf("530"), -1) << AskedPrompts().front().Text.toStdString();
    EXPECT_EQ(TSiteFile(w.SitesFile).ReadSite("Scripted", "").Password, c.Save ? "secret" : "Wr0ngPass");
    for (const QString& line : w.memoLog->Lines()) {
      EXPECT_EQ(line.indexOf("Wr0ngPass"), -1);
      EXPECT_EQ(line.indexOf(TPyFtpServer::Password), -1);
    }
    SetPromptAnswerer(nullptr);
    SetDialogAnswerer(nullptr);
    Window.reset();
  }
}

TEST_F(MainWindow, CancelAfterARefusedLoginLeavesTheTabDisconnected) {
  TScript script;
  script.Reply("USER .*", "331 Password required.").Reply("PASS .*", "530 Login incorrect.");
  TFakeFtpServer server(script.ToJson());
  TfrmMain& w = Open();
  w.Prefs.Retries = 1;
  w.ApplyPreferences();
  SetPromptAnswerer([](const TPrompt&) { return QMessageBox::Ok; });
  int asked = 0;
  SetDialogAnswerer([&](QDialog&) {
    ++asked;
    return int(QDialog::Rejected);
  });
  w.ConnectSite(ScriptedSite(server.Port(), "Wr0ngPass"));
  ASSERT_TRUE(WaitFor([&] { return asked == 1 && !w.CurrentHostView()->FTP().Busy(); }));
  EXPECT_FALSE(w.CurrentHostView()->Connected());
  EXPECT_EQ(w.pgctrlHost->tabText(0), "Disconnected");
  const auto received = server.Received();
  EXPECT_EQ(std::count_if(received.begin(), received.end(), [](const std::string& l) { return l.rfind("PASS ", 0) == 0; }), 1);
  for (const QString& line : w.memoLog->Lines()) EXPECT_EQ(line.indexOf("Wr0ngPass"), -1);
}

}  // namespace
}  // namespace ferrowin::test
