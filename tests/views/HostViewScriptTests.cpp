// The host view against scripted servers with other path forms: bracketed VMS paths and
// backslash paths. The scripted server records exactly what the view made the engine send.

#include "ViewTestSupport.h"
#include "ViewTestWindow.h"

#include <QApplication>
#include <QPointer>

namespace ferrowin::test {
namespace {

using Names = std::vector<std::string>;

std::vector<std::string> Listing(const std::string& text) {
  return {Send("150 Here it comes."), Action("data", Json(text)), Send("226 Done.")};
}

class HostViewScripted : public TViewTest {
 protected:
  void Release() override {
    Window.reset();
    Server.reset();
  }
  void Start(TScript script) {
    script.StandardLogin().On("PASV", {Action("pasv", Json("227 Entering Passive Mode ({})."))});
    Server = std::make_unique<TFakeFtpServer>(script.ToJson());
    Window = std::make_unique<TViewTestWindow>();
    Window->show();
    Host().FTP().SetPassive(true);
  }
  THostView& Host() { return Window->Host(); }
  bool Connect() {
    Host().ConnectHost("127.0.0.1", Server->Port(), "", "", "", "pw", "joe");
    return WaitFor([&] { return Host().ListView()->ItemCount() > 0 && !Host().ChangingFolder(); });
  }
  bool Received(const std::string& line) {
    Names all = Server->Received();
    return std::find(all.begin(), all.end(), line) != all.end();
  }

  std::unique_ptr<TFakeFtpServer> Server;
  std::unique_ptr<TViewTestWindow> Window;
};

const char* const UnixListing =
    "drwxr-xr-x   2 joe  users   512 Jan 05 10:30 SUB\r\n"
    "-rw-r--r--   1 joe  users  2048 Jan 05 10:31 LOGIN.COM\r\n";

TEST_F(HostViewScripted, BracketedPathsKeepTheirDevice) {
  TScript script;
  script.On("PWD", {Send("257 \"DISK$USER:[JOHN.WORK]\" is current directory.")}, 1)
      .On("PWD", {Send("257 \"DISK$USER:[JOHN.WORK.SUB]\" is current directory.")})
      .Reply("CWD .*", "250 Changed.")
      .On("LIST", Listing(UnixListing));
  Start(script);
  ASSERT_TRUE(Connect());
  EXPECT_EQ(Host().Seperator(), '.');
  EXPECT_EQ(Host().GetFolder(), ".JOHN.WORK.");
  EXPECT_EQ(Host().PathPrefix(), "DISK$USER:[");
  EXPECT_EQ(Host().PathSuffix(), "]");
  EXPECT_EQ(Host().ServerPath(".JOHN.WORK.SUB."), "DISK$USER:[JOHN.WORK.SUB]");
  EXPECT_EQ(Host().ServerPath("DISK$USER:[OTHER]"), "DISK$USER:[OTHER].");  // already a server path
  const int sub = 0;
  ASSERT_EQ(Host().ListView()->Caption(sub), "SUB");
  EXPECT_EQ(Host().GetItemPath(sub), "DISK$USER:[JOHN.WORK]SUB");
  // Opening the folder sends the server's form of its path.
  EXPECT_TRUE(Host().OpenItem(sub));
  ASSERT_TRUE(WaitFor([&] { return Host().GetFolder() == ".JOHN.WORK.SUB." && Host().CachedListing(".JOHN.WORK.SUB."); }));
  EXPECT_TRUE(Received("CWD DISK$USER:[JOHN.WORK.SUB]"));
  // Up again: from the cache.
  const std::size_t received = Server->Received().size();
  EXPECT_TRUE(Host().FolderUp());
  EXPECT_EQ(Host().GetFolder(), ".JOHN.WORK.");
  EXPECT_EQ(Host().ListView()->ItemCount(), 2);
  EXPECT_EQ(Server->Received().size(), received);
}

TEST_F(HostViewScripted, BackslashServersSwitchTheSeperator) {
  TScript script;
  script.On("PWD", {Send("257 \"C:\\ftp\" is current directory.")}, 1)
      .On("PWD", {Send("257 \"C:\\ftp\\SUB\" is current directory.")})
      .Reply("CWD .*", "250 Changed.")
      .On("LIST", Listing(UnixListing));
  Start(script);
  ASSERT_TRUE(Connect());
  EXPECT_EQ(Host().Seperator(), '\\');
  EXPECT_EQ(Host().GetFolder(), "C:\\ftp\\");
  EXPECT_EQ(Host().ServerPath(Host().GetFolder()), "C:\\ftp\\");
  EXPECT_EQ(Host().GetItemPath(0), "C:\\ftp\\SUB");
  EXPECT_TRUE(Host().ChangeFolderWait("C:\\ftp\\SUB"));
  EXPECT_TRUE(Received("CWD C:\\ftp\\SUB\\"));
  EXPECT_EQ(Host().GetFolder(), "C:\\ftp\\SUB\\");
}

TEST_F(HostViewScripted, ServerFailuresEndTheWait) {
  TScript script;
  script.Reply("PWD", "257 \"/\" is current directory.")
      .Reply("CWD /", "250 Changed.")
      .Reply("CWD /denied/", "550 No such folder.")
      .On("LIST", Listing(UnixListing));
  Start(script);
  ASSERT_TRUE(Connect());
  TStateRecorder states(Host());
  EXPECT_FALSE(Host().ChangeFolderWait("/denied/"));
  EXPECT_EQ(Host().GetFolder(), "/");
  EXPECT_FALSE(Host().ChangingFolder());
  EXPECT_EQ(Host().ListView()->ItemCount(), 2);
  EXPECT_EQ(states.States.front(), hsBusy);
  EXPECT_EQ(states.States.back(), hsReady);
  Host().OnUpdateState = nullptr;
}

// A wait on a folder being refreshed lasts until its new listing is shown: being in the
// folder is not enough, and the refresh under way is no reason to give up.
TEST_F(HostViewScripted, AWaitDuringARefreshEndsWithTheNewListing) {
  TScript script;
  script.On("PWD", {Send("257 \"/\" is current directory.")})
      .Reply("CWD .*", "250 Changed.")
      .On("LIST", Listing("-rw-r--r-- 1 u g 10 Jan 05 10:30 old.txt\r\n"), 1)
      .On("LIST", {Action("stall", "0.3"), Send("150 Here it comes."),
                   Action("data", Json("-rw-r--r-- 1 u g 10 Jan 05 10:30 new.txt\r\n")), Send("226 Done.")});
  Start(script);
  ASSERT_TRUE(Connect());
  ASSERT_EQ(Host().ListView()->Caption(0), "old.txt");
  Host().Refresh();
  ASSERT_TRUE(Host().ChangeFolderWait("/"));
  ASSERT_GT(Host().ListView()->ItemCount(), 0);
  EXPECT_EQ(Host().ListView()->Caption(0), "new.txt");
}

// A folder whose listing failed is known but not listed; going back to it from another
// folder changes into it first, so its name never heads another folder's entries.
TEST_F(HostViewScripted, AFolderListedAgainIsChangedIntoFirst) {
  const std::string rootListing = "drwxr-xr-x 2 u g 512 Jan 05 10:30 a\r\ndrwxr-xr-x 2 u g 512 Jan 05 10:30 b\r\n";
  TScript script;
  script.On("PWD", {Send("257 \"/\" is current directory.")}, 1)
      .On("PWD", {Send("257 \"/a\" is current directory.")}, 1)
      .On("PWD", {Send("257 \"/b\" is current directory.")}, 1)
      .On("PWD", {Send("257 \"/a\" is current directory.")})
      .Reply("CWD .*", "250 Changed.")
      .On("LIST", Listing(rootListing), 1)
      .On("LIST", {Send("550 Permission denied.")}, 1)
      .On("LIST", Listing("-rw-r--r-- 1 u g 10 Jan 05 10:30 only-in-b.txt\r\n"), 1)
      .On("LIST", Listing("-rw-r--r-- 1 u g 10 Jan 05 10:30 only-in-a.txt\r\n"));
  Start(script);
  ASSERT_TRUE(Connect());
  TStateRecorder states(Host());
  // The refused listing: the view is usable on /a/, empty, with a red line.
  EXPECT_FALSE(Host().ChangeFolderWait("/a/"));
  EXPECT_EQ(Host().GetFolder(), "/a/");
  EXPECT_EQ(Host().ListView()->ItemCount(), 0);
  EXPECT_EQ(states.States.back(), hsReady);
  EXPECT_FALSE(Host().ChangingFolder());
  EXPECT_EQ(Host().LogEntries().back().Color, ErrorColor);
  ASSERT_TRUE(Host().ChangeFolderWait("/b/"));
  ASSERT_TRUE(Host().ChangeFolderWait("/a/"));
  EXPECT_EQ(Host().ListView()->Caption(0), "only-in-a.txt");
  Names received = Server->Received();
  EXPECT_EQ(std::count(received.begin(), received.end(), "CWD /a/"), 2);
  Host().OnUpdateState = nullptr;
}

// Stop during a folder change that the server is slow to answer ends the wait with false
// and shows the folder that was shown before, ready for the next command.
TEST_F(HostViewScripted, StopDuringASlowChangeEndsTheWait) {
  TScript script;
  script.Reply("PWD", "257 \"/\" is current directory.")
      .On("CWD /slow/", {Action("stall", "3"), Send("250 Changed at last.")})
      .On("LIST", Listing(UnixListing));
  Start(script);
  ASSERT_TRUE(Connect());
  TStateRecorder states(Host());
  QTimer::singleShot(100, [this] { Host().Stop(); });
  EXPECT_FALSE(Host().ChangeFolderWait("/slow/"));
  // The aborted command's end follows at once.
  ASSERT_TRUE(WaitFor([&] { return !Host().ChangingFolder(); }));
  EXPECT_EQ(Host().GetFolder(), "/");
  EXPECT_EQ(Host().ListView()->ItemCount(), 2);
  EXPECT_FALSE(Host().ChangingFolder());
  EXPECT_EQ(states.States.back(), hsReady);
  Host().OnUpdateState = nullptr;
  // A view destroyed during a wait ends it too.
  QTimer::singleShot(100, [this] { Window.reset(); });
  QPointer<THostView> view(&Host());
  EXPECT_FALSE(view->ChangeFolderWait("/slow/"));
  EXPECT_TRUE(view.isNull());
}

// A current-folder reply without a folder (refused, or no quoted path) gives no name to show
// entries under: the folder shown before stays, not the root.
TEST_F(HostViewScripted, ACurrentFolderReplyWithoutAFolderKeepsThePreviousOne) {
  TScript script;
  script.On("PWD", {Send("257 \"/\" is current directory.")}, 1)
      .On("PWD", {Send("257 \"/SUB\" is current directory.")}, 1)
      .On("PWD", {Send("550 Cannot tell.")}, 1)
      .On("PWD", {Send("257 Somewhere.")})
      .Reply("CWD .*", "250 Changed.")
      .On("LIST", Listing(UnixListing), 1)
      .On("LIST", Listing("-rw-r--r-- 1 u g 10 Jan 05 10:30 inner.txt\r\n"));
  Start(script);
  ASSERT_TRUE(Connect());
  ASSERT_TRUE(Host().ChangeFolderWait("/SUB/"));
  for (const char* folder : {"/x/", "/y/"}) {
    EXPECT_FALSE(Host().ChangeFolderWait(folder));
    EXPECT_EQ(Host().GetFolder(), "/SUB/");
    ASSERT_EQ(Host().ListView()->ItemCount(), 1);
    EXPECT_EQ(Host().ListView()->Caption(0), "inner.txt");
    EXPECT_FALSE(Host().ChangingFolder());
  }
}

TEST_F(HostViewScripted, StopEndsTheFillingOfALargeFolder) {
  std::string listing;
  for (int i = 0; i < 5000; ++i) listing += "-rw-r--r-- 1 u g 10 Jan 05 10:30 file" + std::to_string(i) + ".txt\r\n";
  TScript script;
  script.On("PWD", {Send("257 \"/\" is current directory.")}, 1)
      .On("PWD", {Send("257 \"/other\" is current directory.")})
      .Reply("CWD .*", "250 Changed.")
      .On("LIST", Listing(listing), 1)
      .On("LIST", Listing(UnixListing));
  Start(script);
  Host().ConnectHost("127.0.0.1", Server->Port(), "", "", "", "pw", "joe");
  ASSERT_TRUE(WaitFor([&] { return Host().ListView()->ItemCount() == 5000; }));
  ASSERT_TRUE(Host().ChangeFolderWait("/other/"));
  // From the cache again, with a Stop arriving among the messages the filling lets run.
  QTimer::singleShot(0, [this] { Host().Stop(); });
  TStateRecorder states(Host());
  EXPECT_TRUE(Host().ChangeFolder("/"));
  EXPECT_FALSE(Host().BuildingList);
  EXPECT_GT(Host().ListView()->ItemCount(), 0);
  EXPECT_LT(Host().ListView()->ItemCount(), 5000);
  EXPECT_EQ(states.States.back(), hsReady);
  Host().OnUpdateState = nullptr;
  // Shown again in full when asked again.
  EXPECT_TRUE(Host().ChangeFolder("/"));
  EXPECT_EQ(Host().ListView()->ItemCount(), 5000);
  // The view going in the middle of a filling leaves no hourglass behind.
  ASSERT_TRUE(Host().ChangeFolderWait("/other/"));
  QTimer::singleShot(0, [this] { Window.reset(); });
  QPointer<THostView> view(&Host());
  view->ChangeFolder("/");
  EXPECT_TRUE(view.isNull());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace ferrowin::test
