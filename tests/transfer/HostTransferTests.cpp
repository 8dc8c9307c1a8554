// Transfers and file operations through the real views (a local view beside a host view)
// against pyftpdlib and the scripted server, and the prompts that decide about existing files.

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QPushButton>
#include <filesystem>

#include "Options.h"
#include "Prompts.h"
#include "Transfer.h"
#include "TransferPrompts.h"
#include "ViewTestSupport.h"
#include "ViewTestWindow.h"

namespace ferrowin::test {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

bool Select(TCustomView& view, const Names& captions) {
  TListControl* list = view.ListView();
  int found = 0;
  for (int row = 0; row < list->ItemCount(); ++row) {
    const bool wanted = std::find(captions.begin(), captions.end(), list->Caption(row).toStdString()) != captions.end();
    list->SetSelected(row, wanted);
    found += wanted;
  }
  return found == static_cast<int>(captions.size());
}

class HostTransfer : public TViewTest {
 protected:
  void SetUp() override {
    TViewTest::SetUp();
    Prefs.ConversionSpaces = 2;  // spaces become "_" on upload
    List = std::make_unique<TTransferItemsList>(&Prefs);
    Window = std::make_unique<TViewTestWindow>(&Prefs);
    Window->show();
    AskedPrompts().clear();
    SetPromptAnswerer([](const TPrompt&) { return QMessageBox::Yes; });
  }
  void Release() override {
    Window.reset();
    List.reset();
    QCoreApplication::processEvents();
    SetPromptAnswerer(nullptr);
    SetDialogAnswerer(nullptr);
  }
  THostView& Host() { return Window->Host(); }
  TLocalView& Local() { return Window->Local(); }
  void Connect(int port) {
    Host().ConnectHost("127.0.0.1", port, "", "", "", TPyFtpServer::Password, TPyFtpServer::UserName);
    ASSERT_TRUE(WaitShown("/"));
  }
  bool WaitShown(const std::string& folder) {
    return WaitFor([&] {
      return Host().GetFolder() == folder && !Host().ChangingFolder() && Host().CachedListing(folder) &&
             Host().ListView()->isEnabled();
    });
  }
  TTransferItems& Queue() { return List->Queue(0); }
  bool WaitIdle() {
    return WaitFor([&] {
      return List->Count() > 0 && Queue().StateCount[isPending] == 0 && Queue().StateCount[isBusy] == 0;
    }, std::chrono::seconds(60));
  }
  Names ItemNames() {
    Names out;
    for (int i = 0; i < Queue().Count(); ++i) out.push_back(Queue().Item(i)->DestName);
    return out;
  }

  TPyFtpServer Server;
  TTempDir Disk;
  TPreferences Prefs;
  std::unique_ptr<TTransferItemsList> List;
  std::unique_ptr<TViewTestWindow> Window;
};

TEST_F(HostTransfer, TreeUploadedAndDownloadedByteExactOverTheBrowsingConnection) {
  const std::string up = Disk.File("up"), down = Disk.File("down");
  fs::create_directories(up + "/top dir/sub one/deep x");
  WriteFile(up + "/top dir/a file.txt", "text file\n");
  WriteFile(up + "/top dir/sub one/b.bin", std::string(70000, 'b'));
  WriteFile(up + "/top dir/sub one/deep x/c.bin", std::string(5000, 'c'));
  fs::create_directory(down);
  Connect(Server.Port());
  ASSERT_TRUE(Local().ChangeFolderWait(up));
  const std::string localStart = Local().GetFolder();
  ASSERT_TRUE(WaitFor([&] { return Select(Local(), {"top dir"}); }));
  int commandsChanged = 0;
  List->OnCommandsChanged = [&] { ++commandsChanged; };
  ASSERT_TRUE(Host().TransferFrom(Local()));
  EXPECT_TRUE(Host().Transferring) << "lent to the queue: Stop skips the item, a folder change waits";
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(Queue().StateCount[isDone], Queue().Count()) << "every item done";
  // Folders before their contents, names converted.
  const Names order = ItemNames();
  auto at = [&](const std::string& n) { return std::find(order.begin(), order.end(), n) - order.begin(); };
  EXPECT_LT(at("top_dir"), at("a_file.txt"));
  EXPECT_LT(at("sub_one"), at("b.bin"));
  EXPECT_LT(at("deep_x"), at("c.bin"));
  EXPECT_EQ(ReadFile(Server.RootFile("top_dir/sub_one/deep_x/c.bin")), std::string(5000, 'c'));
  EXPECT_EQ(ReadFile(Server.RootFile("top_dir/sub_one/b.bin")), std::string(70000, 'b'));
  EXPECT_EQ(Local().GetFolder(), localStart);
  EXPECT_FALSE(Host().Transferring) << "the browsing connection is the view's again";
  EXPECT_EQ(commandsChanged, 1) << "the window's commands change at the end, not between files";

  ASSERT_TRUE(Local().ChangeFolderWait(down));
  Host().Refresh();
  ASSERT_TRUE(WaitShown("/"));
  ASSERT_TRUE(Select(Host(), {"top_dir"}));
  const int before = Queue().Count();
  ASSERT_TRUE(Host().TransferTo(&Local()));
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(Queue().StateCount[isDone], Queue().Count());
  EXPECT_GT(Queue().Count(), before);
  EXPECT_EQ(ReadFile(down + "/top_dir/sub_one/deep_x/c.bin"), std::string(5000, 'c'));
  EXPECT_EQ(ReadFile(down + "/top_dir/sub_one/b.bin"), std::string(70000, 'b'));
  EXPECT_EQ(Host().GetFolder(), "/") << "back on the folder the request started in";
  // The same selection again: every item is new (the earlier ones ended), nothing refused.
  EXPECT_TRUE(AskedPrompts().empty());
  // The queues going before the view (at exit) leave it nothing to point at.
  List.reset();
  EXPECT_EQ(Host().TransferQueue(), nullptr);
}

TEST_F(HostTransfer, DeleteRemovesANestedTreeInsideOutAndRefreshes) {
  std::string deepest = "gone/inner";
  for (int level = 0; level < 19; ++level) deepest += "/d" + std::to_string(level);  // past half the walk's limit
  fs::create_directories(Server.RootFile(deepest));
  WriteFile(Server.RootFile("gone/f1"), "1");
  WriteFile(Server.RootFile("gone/inner/f2"), "2");
  WriteFile(Server.RootFile(deepest + "/f3"), "3");
  WriteFile(Server.RootFile("keep"), "k");
  Connect(Server.Port());
  ASSERT_TRUE(Select(Host(), {"gone"}));
  SetDialogAnswerer([](QDialog& d) {
    auto* confirm = qobject_cast<TfrmConfirm*>(&d);
    return confirm && confirm->windowTitle() == "Confirm Folder Delete" ? int{QMessageBox::Yes} : int{QMessageBox::No};
  });
  ASSERT_TRUE(Host().DeleteSelected(true));
  ASSERT_TRUE(WaitFor([&] { return !fs::exists(Server.RootFile("gone")); }, std::chrono::seconds(20)));
  ASSERT_TRUE(WaitShown("/"));
  EXPECT_TRUE(fs::exists(Server.RootFile("keep")));
  EXPECT_TRUE(WaitFor([&] { return Select(Host(), {"keep"}) && !Select(Host(), {"gone"}); }));
  EXPECT_EQ(Host().GetFolder(), "/");
}

TEST_F(HostTransfer, RenameNewFolderAndDisconnectCancellingPendingItems) {
  fs::create_directory(Server.RootFile("sub"));
  WriteFile(Server.RootFile("sub/old.txt"), "o");
  Connect(Server.Port());
  ASSERT_TRUE(Host().ChangeFolder("/sub/") && WaitShown("/sub/"));
  const int row = [&] { Select(Host(), {"old.txt"}); return Host().ListView()->Selected(); }();
  EXPECT_FALSE(Host().RenameByEditing(row, "old.txt")) << "the same name sends nothing";
  Host().RenameByEditing(row, "New.txt");
  ASSERT_TRUE(WaitFor([&] { return fs::exists(Server.RootFile("sub/New.txt")) && !Host().FTP().Busy(); }));
  // The folder shown again from memory has the new name.
  ASSERT_TRUE(WaitFor([&] { return Host().ChangeFolder("/") && WaitShown("/"); }));
  ASSERT_TRUE(Host().ChangeFolder("/sub/") && WaitShown("/sub/"));
  EXPECT_TRUE(Select(Host(), {"New.txt"}) && !Select(Host(), {"old.txt"}));
  Host().NewFolder("made", false);
  ASSERT_TRUE(WaitFor([&] { return fs::is_directory(Server.RootFile("sub/made")); }));
  // Disconnect while the queue has work: its pending items are cancelled.
  WriteFile(Server.RootFile("sub/big.bin"), std::string(4 << 20, 'z'));
  ASSERT_TRUE(WaitFor([&] { Host().Refresh(); return WaitShown("/sub/") && Select(Host(), {"big.bin", "New.txt"}); }));
  ASSERT_TRUE(Host().TransferTo(&Local()));
  Host().Disconnect();
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(Queue().StateCount[isDone] + Queue().StateCount[isCancelled] + Queue().StateCount[isError],
            Queue().Count());
  EXPECT_GE(Queue().StateCount[isCancelled], 1);
  EXPECT_TRUE(WaitFor([&] { return !Host().Connected(); }));
}

TEST_F(HostTransfer, DownloadForViewingReportsOnceIntoAPrivateFolder) {
  WriteFile(Server.RootFile("one.txt"), "1");
  WriteFile(Server.RootFile("two.bin"), "22");
  Connect(Server.Port());
  std::vector<std::vector<std::string>> reports;
  Host().OnTransferred = [&](THostView&, const std::vector<std::string>& files, int reason) {
    EXPECT_EQ(reason, 4);
    reports.push_back(files);
  };
  ASSERT_TRUE(Select(Host(), {"one.txt", "two.bin"}));
  ASSERT_TRUE(Host().DownloadFor(Local(), 4));
  ASSERT_TRUE(WaitFor([&] { return !reports.empty(); }));
  ASSERT_EQ(reports.size(), 1u);
  const std::string folder = THostView::ReasonFolder();
  EXPECT_EQ(reports[0], (Names{folder + "one.txt", folder + "two.bin"}));
  EXPECT_EQ(ReadFile(folder + "two.bin"), "22");
  EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all) << "closed to others";
  EXPECT_EQ(Host().TransferReason, 0);
  EXPECT_TRUE(Host().ListView()->isEnabled());
}

TEST_F(HostTransfer, StopDuringARecursiveCollectionLeavesNothingQueued) {
  for (int d = 0; d < 6; ++d) {
    fs::create_directories(Server.RootFile("tree/d" + std::to_string(d)));
    WriteFile(Server.RootFile("tree/d" + std::to_string(d) + "/f"), "f");
  }
  fs::create_directory(Server.RootFile("zz"));
  Connect(Server.Port());
  ASSERT_TRUE(Local().ChangeFolderWait(Disk.Path()));
  ASSERT_TRUE(Select(Host(), {"tree", "zz"}));
  // Stop as soon as the walk has entered its first folder.
  Host().OnUpdateState = [&](TCustomView&, int state, int) {
    if (state == hsBusy && Host().Gathering) Host().Stop();
  };
  ASSERT_TRUE(Host().TransferTo(&Local()));
  Host().OnUpdateState = nullptr;
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(Queue().StateCount[isPending], 0);
  EXPECT_FALSE(fs::exists(Disk.File("tree/d5/f"))) << "the walk ended before the last folder";
  const auto& log = Host().LogEntries();
  EXPECT_TRUE(std::none_of(log.begin(), log.end(), [](const auto& l) { return l.Message.find("/zz") != std::string::npos; }))
      << "nor did it go on to the next selected folder";
  EXPECT_FALSE(Host().Gathering);
}

TEST_F(HostTransfer, ALinkCycleOnTheServerEndsAtTheDepthLimit) {
  fs::create_directories(Server.RootFile("loop"));
  WriteFile(Server.RootFile("loop/f.txt"), "f");
  fs::create_directory_symlink("..", Server.RootFile("loop/back"));  // loop/back/loop/back/...
  Connect(Server.Port());
  ASSERT_TRUE(Local().ChangeFolderWait(Disk.Path()));
  ASSERT_TRUE(Select(Host(), {"loop"}));
  ASSERT_TRUE(Host().TransferTo(&Local()));
  ASSERT_TRUE(WaitIdle());
  const auto& log = Host().LogEntries();
  EXPECT_TRUE(std::any_of(log.begin(), log.end(), [](const THostLogLine& l) {
    return l.Color == ErrorColor && l.Message.find("the folders go too deep") != std::string::npos;
  }));
  int deepest = 0;
  for (auto it = fs::recursive_directory_iterator(Disk.File("loop")); it != fs::recursive_directory_iterator(); ++it)
    deepest = std::max(deepest, it.depth());
  EXPECT_LE(deepest, THostView::MaxDepth);
  EXPECT_EQ(ReadFile(Disk.File("loop/f.txt")), "f");
}

// The view base's keys and its drop handler, through the real list widget, reach the host
// view's operations: Delete asks first, Shift+Delete does not, F2 renames on the server.
TEST_F(HostTransfer, KeysAndADropReachTheFileOperations) {
  for (const char* name : {"kept", "asked", "unasked", "old name"}) WriteFile(Server.RootFile(name), "x");
  WriteFile(Disk.File("dropped.bin"), std::string(3000, 'd'));
  Connect(Server.Port());
  QAbstractItemView* keys = Host().ListView()->CurrentView();
  Names titles;
  int answer = QMessageBox::No;
  SetDialogAnswerer([&](QDialog& d) {
    titles.push_back(d.windowTitle().toStdString());
    return answer;
  });
  struct {
    const char* Name;
    Qt::KeyboardModifiers Modifiers;
    int Answer;
    bool Asked, Gone;
  } deletes[] = {
      {"kept", Qt::NoModifier, QMessageBox::No, true, false},
      {"asked", Qt::NoModifier, QMessageBox::Yes, true, true},
      {"unasked", Qt::ShiftModifier, QMessageBox::No, false, true},
  };
  for (const auto& c : deletes) {
    SCOPED_TRACE(c.Name);
    ASSERT_TRUE(WaitShown("/"));
    ASSERT_TRUE(WaitFor([&] { return Select(Host(), {c.Name}); }));
    titles.clear();
    answer = c.Answer;
    QTest::keyClick(keys, Qt::Key_Delete, c.Modifiers);
    EXPECT_EQ(titles, c.Asked ? Names{"Confirm File Delete"} : Names{});
    if (c.Gone) {
      EXPECT_TRUE(WaitFor([&] { return !fs::exists(Server.RootFile(c.Name)); }));
    }
    ASSERT_TRUE(WaitShown("/"));
    EXPECT_EQ(fs::exists(Server.RootFile(c.Name)), !c.Gone);
  }
  ASSERT_TRUE(WaitFor([&] { return Select(Host(), {"old name"}); }));
  Host().ListView()->SetFocused(Host().ListView()->Selected());
  QTest::keyClick(keys, Qt::Key_F2);
  auto* editor = keys->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  editor->setText("new name");
  QTest::keyClick(editor, Qt::Key_Return);
  EXPECT_TRUE(WaitFor([&] { return fs::exists(Server.RootFile("new name")) && !fs::exists(Server.RootFile("old name")); }));

  ASSERT_TRUE(Local().ChangeFolderWait(Disk.Path()));
  ASSERT_TRUE(WaitFor([&] { return Select(Local(), {"dropped.bin"}); }));
  ASSERT_TRUE(WaitShown("/"));
  Host().ListView()->OnDragDrop(Local().ListView(), QPoint(4, 4));  // as the list calls it on a drop
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(ItemNames(), Names{"dropped.bin"});
  EXPECT_EQ(ReadFile(Server.RootFile("dropped.bin")), std::string(3000, 'd'));
}

TEST_F(HostTransfer, NoXferOlderSkipsADownloadOverANewerLocalFileWithoutAsking) {
  Prefs.NoXferOlder = true;
  const auto now = fs::file_time_type::clock::now();
  const auto old = now - std::chrono::hours(24 * 400);
  struct {
    const char* Name;
    fs::file_time_type Remote, Local;
    bool Skipped;
  } files[] = {{"older.bin", old, now, true}, {"newer.bin", now, old, false}};
  for (const auto& f : files) {
    WriteFile(Server.RootFile(f.Name), "SRVR");
    fs::last_write_time(Server.RootFile(f.Name), f.Remote);
    WriteFile(Disk.File(f.Name), "LOCL");
    fs::last_write_time(Disk.File(f.Name), f.Local);
  }
  Names titles;
  SetDialogAnswerer([&](QDialog& d) {
    titles.push_back(d.windowTitle().toStdString());
    return int{QMessageBox::Yes};
  });
  Connect(Server.Port());
  ASSERT_TRUE(Local().ChangeFolderWait(Disk.Path()));
  ASSERT_TRUE(Select(Host(), {"older.bin", "newer.bin"}));
  ASSERT_TRUE(Host().TransferTo(&Local()));
  ASSERT_TRUE(WaitIdle());
  for (const auto& f : files) EXPECT_EQ(ReadFile(Disk.File(f.Name)), f.Skipped ? "LOCL" : "SRVR") << f.Name;
  EXPECT_EQ(titles, Names{"Confirm File Overwrite"}) << "only the file that is not skipped asks";
}

class HostTransferScripted : public TViewTest {
 protected:
  void Release() override {
    Window.reset();
    List.reset();
    QCoreApplication::processEvents();
    Server.reset();
  }
  TTempDir Disk;
  TPreferences Prefs;
  std::unique_ptr<TTransferItemsList> List = std::make_unique<TTransferItemsList>(&Prefs);
  std::unique_ptr<TFakeFtpServer> Server;
  std::unique_ptr<TViewTestWindow> Window;
};

TEST_F(HostTransferScripted, HostileNamesInAListingWriteNothingOutsideTheDestination) {
  const char* listing =
      "-rw-r--r--   1 joe  users     4 Jan 05 10:31 ../escape\r\n"
      "-rw-r--r--   1 joe  users     4 Jan 05 10:31 a/b\r\n"
      "drwxr-xr-x   2 joe  users   512 Jan 05 10:30 ..\r\n"
      "-rw-r--r--   1 joe  users     4 Jan 05 10:31 fine\r\n";
  TScript script;
  script.StandardLogin()
      .On("PASV", {Action("pasv", Json("227 Entering Passive Mode ({})."))})
      .Reply("PWD", "257 \"/\" is current directory.")
      .Reply("CWD .*", "250 Changed.")
      .On("LIST.*", {Send("150 Here it comes."), Action("data", Json(listing)), Send("226 Done.")})
      .On("RETR .*", {Send("150 Here it comes."), Action("data", Json("DATA")), Send("226 Done.")});
  Server = std::make_unique<TFakeFtpServer>(script.ToJson());
  Prefs.SingleConnectionsOnly = false;  // the files come over a pooled connection of their own
  Prefs.UsePASV = true;
  Window = std::make_unique<TViewTestWindow>(&Prefs);
  Window->show();
  THostView& host = Window->Host();
  host.FTP().SetPassive(true);
  host.ConnectHost("127.0.0.1", Server->Port(), "", "", "", "pw", "joe");
  ASSERT_TRUE(WaitFor([&] { return host.ListView()->ItemCount() > 0 && !host.ChangingFolder(); }));
  const std::string dest = Disk.File("dest");
  fs::create_directory(dest);
  ASSERT_TRUE(Window->Local().ChangeFolderWait(dest));
  host.SelectAll();
  host.TransferTo(&Window->Local());
  ASSERT_TRUE(WaitFor([&] {
    return List->Count() > 0 && List->Queue(0).StateCount[isPending] + List->Queue(0).StateCount[isBusy] == 0;
  }));
  Names written;
  for (const auto& entry : fs::recursive_directory_iterator(Disk.Path()))
    written.push_back(fs::relative(entry.path(), Disk.Path()).string());
  EXPECT_EQ(written, (Names{"dest", "dest/fine"}));
  auto refused = std::count_if(host.LogEntries().begin(), host.LogEntries().end(), [](const THostLogLine& l) {
    return l.Color == ErrorColor && l.Message.rfind("Refused", 0) == 0;
  });
  EXPECT_GE(refused, 2);
}

// The decision about an existing destination entry, with the prompts answered from a script.
TEST(TransferDecision, SkipResumeOverwriteAndTheRequestMemory) {
  TPreferences p;
  TTransferItemsList list(&p);
  std::vector<QMessageBox::StandardButton> answers;
  Names asked;
  SetDialogAnswerer([&](QDialog& d) {
    asked.push_back(d.windowTitle().toStdString());
    auto answer = answers.empty() ? QMessageBox::Cancel : answers.front();
    if (!answers.empty()) answers.erase(answers.begin());
    return int{answer};
  });
  auto decide = [&](TRequestMemory& m, const std::string& name, std::int64_t source, std::int64_t dest,
                    double sourceDate = 2, double destDate = 1, bool canResume = true) {
    TExistingEntry e{name, source, sourceDate, true, dest, destDate, canResume};
    return list.DecideExisting(m, e);
  };
  TRequestMemory m;
  EXPECT_EQ(list.DecideExisting(m, TExistingEntry{"new", 10}), 0) << "nothing there: no prompt";
  EXPECT_EQ(decide(m, "empty", 10, 0, 2, 1, false), 0) << "a 0-byte file is replaced without asking";
  answers = {QMessageBox::YesToAll};
  EXPECT_EQ(decide(m, "a.bin", 100, 40), 40);
  EXPECT_EQ(decide(m, "b.bin", 100, 60), 60) << "Yes to All covers the later files";
  EXPECT_EQ(asked, (Names{"Confirm Restart of a.bin"}));
  TRequestMemory next;
  answers = {QMessageBox::No};
  EXPECT_EQ(decide(next, "c.bin", 100, 60), 0) << "a new request asks again";
  EXPECT_EQ(asked.size(), 2u);
  EXPECT_EQ(decide(next, "d.txt", 100, 60), 0) << "text files are not resumed with TryToResume 1";
  EXPECT_EQ(asked.size(), 2u);
  p.TryToResume = 2;
  answers = {QMessageBox::Cancel};
  EXPECT_EQ(decide(next, "d.txt", 100, 60), SkipEntry);
  answers = {QMessageBox::Retry, QMessageBox::NoToAll};
  EXPECT_EQ(decide(next, "e.bin", 100, 150), 0) << "Recovery needs a shorter existing file";
  EXPECT_EQ(decide(next, "f.bin", 100, 150), SkipEntry);
  EXPECT_EQ(decide(next, "g.bin", 100, 150), SkipEntry) << "No to All remembered";
  p.NoXferOlder = true;
  EXPECT_EQ(decide(m, "same.bin", 50, 50, 1, 2), SkipEntry) << "same size, newer destination";
  answers = {QMessageBox::Yes};
  EXPECT_EQ(decide(m, "same.bin", 50, 50, 3, 2), 0) << "an older destination goes on to the later steps";
  EXPECT_EQ(asked.back(), "Confirm File Overwrite");
  SetDialogAnswerer(nullptr);
}

TEST(TransferPrompts, TextsButtonsAndDefaults) {
  struct {
    int Count;
    bool Folder;
    const char* Caption;
    const char* Text;
  } confirms[] = {
      {3, false, "Confirm Multiple File Delete", "Are you sure you want to delete these 3 items?"},
      {1, true, "Confirm Folder Delete", "Are you sure you want to remove the folder x and all its contents?"},
      {1, false, "Confirm File Delete", "Are you sure you want to delete x?"},
  };
  for (const auto& c : confirms) {
    TfrmConfirm d(c.Count, "x", c.Folder);
    EXPECT_EQ(d.windowTitle().toStdString(), c.Caption);
    EXPECT_EQ(d.Texts().at(0).toStdString(), c.Text);
    EXPECT_TRUE(d.Button("&No")->isDefault());
    EXPECT_EQ(d.EscapeResult(), QMessageBox::No);
  }
  TfrmRestart restart("f.bin");
  EXPECT_EQ(restart.windowTitle(), "Confirm Restart of f.bin");
  EXPECT_TRUE(restart.Button("Yes to &All")->isDefault());
  EXPECT_NE(restart.Button("No to A&ll"), nullptr);
  for (auto [existing, enabled] : {std::pair{40, true}, {100, false}, {150, false}}) {
    TfrmOverwrite overwrite("f.bin", existing, 1, 100, 2);
    EXPECT_EQ(overwrite.windowTitle(), "Confirm File Overwrite");
    EXPECT_EQ(overwrite.Texts().at(0), "This folder already contains a file called 'f.bin.'");
    EXPECT_EQ(overwrite.Button("&Recovery")->isEnabled(), enabled) << existing;
    EXPECT_TRUE(overwrite.Button("&No")->isDefault());
  }
}

}  // namespace
}  // namespace ferrowin::test
