// Compare Folders, the mask dialog and menu, and the internal viewer in the main window,
// against a real server and real local folders.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMovie>
#include <QPushButton>
#include <QSplitter>
#include <QTest>
#include <QTextBrowser>
#include <filesystem>
#include <fstream>

#include "CompareForm.h"
#include "HostView.h"
#include "LogControl.h"
#include "LoclView.h"
#include "Main.h"
#include "MaskForm.h"
#include "Prompts.h"
#include "Screenshots.h"
#include "Viewer.h"
#include "ViewerFetch.h"
#include "MainTestSupport.h"
#include "ViewTestSupport.h"

namespace ferrowin::test {
namespace {

namespace fs = std::filesystem;

void WriteFile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

QStringList Selected(TCustomView& view) {
  QStringList names;
  for (int row : view.ListView()->SelectedItems()) names << view.ListView()->Caption(row);
  names.sort();
  return names;
}

int Row(TCustomView& view, const QString& caption) {
  for (int i = 0; i < view.ListView()->ItemCount(); ++i)
    if (view.ListView()->Caption(i) == caption) return i;
  return -1;
}

// A click on an item as the list takes it: focus and selection on it alone.
void Pick(TCustomView& view, const QString& caption) {
  TListControl& list = *view.ListView();
  list.ClearSelection();
  list.SetFocused(Row(view, caption));
  list.SetSelected(Row(view, caption), true);
}

class CompareViewer : public TViewTest {
 protected:
  void SetUp() override {
    TViewTest::SetUp();
    std::ofstream(Home.File("ferrowin.ini")) << "[Connection]\r\nShowManager=0\r\n";
    Window = std::make_unique<TfrmMain>();
    Window->show();
    Window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Window.get()));
  }
  void Release() override {
    SetDialogAnswerer(nullptr);
    SetPromptAnswerer(nullptr);
    Window.reset();
  }
  TLocalView& Local(const std::vector<std::pair<std::string, std::string>>& files) {
    for (const auto& [name, text] : files) WriteFile(Disk.File(name), text);
    TLocalView& local = *Window->CurrentLocalView();
    EXPECT_TRUE(local.ChangeFolderWait(Disk.Path()));
    return local;
  }
  THostView& Connect() { return ConnectToTestServer(*Window, Server); }
  TPyFtpServer Server;
  TTempDir Disk;
  std::unique_ptr<TfrmMain> Window;
};

TEST_F(CompareViewer, CompareFoldersSelectsWhatDiffersOnBothSides) {
  WriteFile(Server.RootFile("same.txt"), std::string(10, 's'));
  WriteFile(Server.RootFile("grown.txt"), std::string(120, 'g'));
  WriteFile(Server.RootFile("Index.html"), "12345");
  WriteFile(Server.RootFile("remote-only.txt"), "r");
  TLocalView& local = Local({{"same.txt", std::string(10, 's')}, {"grown.txt", std::string(100, 'g')},
                             {"index.html", "12345"}, {"local-only.txt", "l"}});
  EXPECT_FALSE(Window->mnuCompareFolders->isEnabled());
  THostView& host = Connect();
  ASSERT_TRUE(WaitFor([&] { return Window->mnuCompareFolders->isEnabled(); }));
  int shown = 0;
  auto answer = [&](bool ignoreSize) {
    SetDialogAnswerer([&, ignoreSize](QDialog& dialog) {
      auto& options = dynamic_cast<TfrmCompareOptions&>(dialog);
      ++shown;
      // Made fresh each time: the boxes start as the defaults whatever was ticked before.
      EXPECT_EQ(options.windowTitle(), "Comparaison Options");
      EXPECT_FALSE(options.cbIgnoreSize->isChecked());
      EXPECT_TRUE(options.cbIgnoreDate->isChecked());
      options.cbIgnoreSize->setChecked(ignoreSize);
      options.btnOK->click();
      return options.result();
    });
  };
  answer(true);
  Window->mnuCompareFolders->trigger();
  EXPECT_EQ(Selected(local), QStringList{"local-only.txt"});
  EXPECT_EQ(Selected(host), QStringList{"remote-only.txt"});
  answer(false);
  Window->mnuCompareFolders->trigger();
  EXPECT_EQ(shown, 2);
  EXPECT_EQ(Selected(local), QStringList{"local-only.txt"});
  EXPECT_EQ(Selected(host), (QStringList{"grown.txt", "remote-only.txt"}));
  EXPECT_EQ(host.StatusBar()->PanelText(2), "2 Items Selected, 121 Bytes");
  EXPECT_EQ(local.StatusBar()->PanelText(2), "1 Item Selected, 1 Byte");
  SaveScreenshot(Window.get(), "compare_selected");
}

TEST_F(CompareViewer, TheMaskDialogAndMenuSetTheMaskAndRememberWhatWasTyped) {
  TLocalView& local = Local({{"a.txt", "a"}, {"b.dat", "b"}});
  ASSERT_EQ(local.ListView()->ItemCount(), 2);
  QString prompt, shownMask;
  auto type = [&](const QString& mask, bool ok) {
    SetDialogAnswerer([&, mask, ok](QDialog& dialog) {
      auto& form = dynamic_cast<TfrmMask&>(dialog);
      prompt = form.lblPrompt->text();
      shownMask = form.cmboMask->currentText();
      form.cmboMask->setEditText(mask);
      (ok ? form.btnOK : form.btnCancel)->click();
      return form.result();
    });
  };
  const QList<QAction*> menu = Window->MaskMenu(false)->actions();
  type(QStringLiteral(" *.txt "), true);
  Window->mnuLocalMask->trigger();
  EXPECT_EQ(prompt, "Enter a mask for the local directory:");
  EXPECT_EQ(shownMask, "*.*");
  ASSERT_TRUE(WaitFor([&] { return local.ListView()->ItemCount() == 1; }));
  EXPECT_EQ(local.StatusBar()->PanelText(0), "*.txt");
  EXPECT_TRUE(menu[4]->isVisible());
  EXPECT_EQ(menu[5]->text(), "&5  *.txt ");
  // Cancel keeps the view's mask, but the mask typed joins the list.
  type(QStringLiteral("*.dat"), false);
  Window->btnLocalMaskClick(true);  // the host command itself waits for a connection
  EXPECT_EQ(prompt, "Enter a mask for the host directory:");
  EXPECT_EQ(local.GetMask(), "*.txt");
  EXPECT_EQ(menu[5]->text(), "&5 *.dat");
  EXPECT_EQ(menu[6]->text(), "&6  *.txt ");
  EXPECT_FALSE(menu[7]->isVisible());
  // A pick from the list becomes its mask once the box has taken it.
  SetDialogAnswerer([&](QDialog& dialog) {
    auto& form = dynamic_cast<TfrmMask&>(dialog);
    form.cmboMask->setCurrentIndex(1);
    emit form.cmboMask->activated(1);
    EXPECT_TRUE(WaitFor([&] { return form.cmboMask->currentText() == "*.gif;*.jpg;*.bmp;*.png"; }));
    form.btnCancel->click();
    return form.result();
  });
  Window->mnuLocalMask->trigger();
  // The menu: a recent mask, trimmed, and a ready-made one.
  Window->MaskMenu(false);
  menu[6]->trigger();
  EXPECT_EQ(local.GetMask(), "*.dat");
  ASSERT_TRUE(WaitFor([&] { return Selected(local).isEmpty() && local.ListView()->ItemCount() == 1 &&
                                   local.ListView()->Caption(0) == "b.dat"; }));
  menu[3]->trigger();
  ASSERT_TRUE(WaitFor([&] { return local.ListView()->ItemCount() == 2; }));
  // Opened by the host button, the menu serves the host view alone.
  Window->MaskMenu(true);
  menu[1]->trigger();
  EXPECT_EQ(Window->CurrentHostView()->GetMask(), "*.gif;*.jpg;*.bmp;*.png");
  EXPECT_EQ(local.GetMask(), "*.*");
  Window->MaskMenu(false);
  // An empty mask shows every file.
  menu[5]->trigger();
  type(QString(), true);
  Window->mnuLocalMask->trigger();
  ASSERT_TRUE(WaitFor([&] { return local.ListView()->ItemCount() == 2; }));
  EXPECT_EQ(local.StatusBar()->PanelText(0), "*.*");
}

TEST_F(CompareViewer, TheViewerPreviewsLocalPagesAndStaysStillWhileTheLogIsSized) {
  TLocalView& local = Local({{"Page.HTM", "<p>hello page</p>"}, {"notes.txt", "n"}, {"Other.htm", "<p>other</p>"}});
  const QString page = QUrl::fromLocalFile(QString::fromStdString(Disk.File("Page.HTM"))).toString();
  Window->ViewerStartPage = QString::fromStdString(Disk.File("no-welcome.html"));
  local.ListView()->CurrentView()->setFocus();
  Pick(local, "notes.txt");
  // Without a start page, showing the viewer navigates nowhere.
  Window->mnuShowViewer->trigger();
  ASSERT_NE(Window->Viewer(), nullptr);
  EXPECT_TRUE(Window->btnExplorer->isChecked());
  EXPECT_TRUE(Window->pnlViewer->isVisible());
  EXPECT_FALSE(Window->memoLog->isVisible());
  EXPECT_EQ(Window->Viewer()->Location(), QString());
  Window->mnuShowViewer->trigger();
  EXPECT_FALSE(Window->mnuShowViewer->isChecked());
  EXPECT_TRUE(Window->memoLog->isVisible());
  // ... but the focused item still is previewed.
  Pick(local, "Page.HTM");
  Window->mnuShowViewer->trigger();
  EXPECT_EQ(Window->Viewer()->Location(), page);
  EXPECT_TRUE(Window->Viewer()->Browser()->toPlainText().contains("hello page"));
  Pick(local, "notes.txt");
  EXPECT_EQ(Window->Viewer()->Location(), page);
  // Sizing the log area starts no preview.
  QWidget* handle = Window->centralWidget()->findChild<QSplitter*>(QString(), Qt::FindDirectChildrenOnly)->handle(1);
  QTest::mousePress(handle, Qt::LeftButton);
  Pick(local, "Other.htm");
  EXPECT_EQ(Window->Viewer()->Location(), page);
  QTest::mouseRelease(handle, Qt::LeftButton);
  Pick(local, "Other.htm");
  EXPECT_TRUE(Window->Viewer()->Location().endsWith("Other.htm"));
  // A local file over the bound is not read either.
  WriteFile(Disk.File("big.htm"), "");
  fs::resize_file(Disk.File("big.htm"), TViewer::MaxPreviewBytes + 1);
  ASSERT_TRUE(WaitFor([&] { return Row(local, "big.htm") >= 0; }));
  Pick(local, "big.htm");
  EXPECT_TRUE(Window->Viewer()->Browser()->toPlainText().contains("too large to preview"));
  SaveScreenshot(Window.get(), "viewer_local");
}

TEST_F(CompareViewer, ARemotePageIsFetchedAndItsCopyGoesWithTheViewer) {
  WriteFile(Server.RootFile("remote.html"), "<p>from the server</p>");
  WriteFile(Server.RootFile("gone.html"), "x");
  WriteFile(Server.RootFile("huge.gif"), "");
  fs::resize_file(Server.RootFile("huge.gif"), TViewer::MaxPreviewBytes + 1);
  WriteFile(Server.RootFile("other.html"), "<p>another page</p>");
  fs::create_directory(Server.RootFile("sub"));
  THostView& host = Connect();
  host.ListView()->CurrentView()->setFocus();
  // Focused but not selected: the start page.
  host.ListView()->SetFocused(Row(host, "remote.html"));
  Window->mnuShowViewer->trigger();
  EXPECT_EQ(Window->Viewer()->Location(), QUrl::fromLocalFile(Window->ViewerStartPage).toString());
  Window->mnuShowViewer->trigger();
  Pick(host, "remote.html");
  Window->Prefs.UsePASV = false;  // the preview's connection goes the preferred way
  Window->mnuShowViewer->trigger();
  TViewer& viewer = *Window->Viewer();
  const auto& all = TFTPComponent::FTPComponents();
  EXPECT_TRUE(std::any_of(all.begin(), all.end(), [](const TFTPComponent* c) { return !c->Owner() && !c->Passive(); }));
  EXPECT_TRUE(viewer.Location().startsWith("ftp://"));
  EXPECT_FALSE(viewer.Location().contains(TPyFtpServer::Password));
  ASSERT_TRUE(WaitFor([&] { return viewer.Browser()->toPlainText().contains("from the server"); }));
  Window->Prefs.UsePASV = true;
  const std::string copies = viewer.CopyFolder();
  EXPECT_TRUE(fs::exists(copies));
  // Known to be too large from the listing: not fetched at all.
  Pick(host, "huge.gif");
  EXPECT_FALSE(viewer.Busy());
  EXPECT_TRUE(viewer.Browser()->toPlainText().contains("too large to preview"));
  // A page that cannot be fetched: a red line, and the viewer goes on.
  fs::remove(Server.RootFile("gone.html"));
  Pick(host, "gone.html");
  ASSERT_TRUE(WaitFor([&] { return !viewer.Busy(); }));
  const auto& last = Window->memoLog->Entries().back();
  EXPECT_TRUE(last.Text.startsWith("Cannot show gone.html")) << last.Text.toStdString();
  EXPECT_EQ(last.Color, ErrorColor);
  // The animation runs while a page loads; Stop ends both, and the partial copy goes.
  Pick(host, "remote.html");
  ASSERT_TRUE(viewer.Busy());
  EXPECT_EQ(Window->aniActivity->movie()->state(), QMovie::Running);
  Window->btnStop->trigger();
  EXPECT_FALSE(viewer.Busy());
  EXPECT_NE(Window->aniActivity->movie()->state(), QMovie::Running);
  EXPECT_EQ(std::distance(fs::directory_iterator(copies), fs::directory_iterator()), 1);  // the copy shown
  Pick(host, "other.html");
  ASSERT_TRUE(WaitFor([&] { return viewer.Browser()->toPlainText().contains("another page"); }))
      << viewer.Browser()->toPlainText().toStdString();
  // Either view going to another folder stops a preview under way.
  const std::pair<TCustomView*, std::string> moves[] = {{Window->CurrentLocalView(), Disk.Path()},
                                                        {&host, host.GetFolder() + "sub/"}};
  for (const auto& [view, folder] : moves) {
    SCOPED_TRACE(folder);
    Pick(host, "remote.html");
    ASSERT_TRUE(viewer.Busy());
    ASSERT_TRUE(view->ChangeFolder(folder));
    EXPECT_FALSE(viewer.Busy());
  }
  EXPECT_FALSE(host.ChangeFolder("/"));  // one change at a time: the last is still under way
  SetPromptAnswerer([](const TPrompt&) { return QMessageBox::Yes; });  // quit while connected
  Window->close();
  EXPECT_FALSE(fs::exists(copies));
}

// One connection serves the previews of one server and login; a fetch past the bound is
// given up and leaves no copy.
TEST_F(CompareViewer, PreviewFetchesShareAConnectionAndStopAtTheBound) {
  WriteFile(Server.RootFile("small.html"), "s");
  WriteFile(Server.RootFile("big.html"), "");
  fs::resize_file(Server.RootFile("big.html"), 256 << 20);
  TPreviewFetch fetch(1000);
  int connections = 0, done = 0;
  bool tooLarge = false;
  std::string log;
  fetch.OnPrepare = [&](TFTPComponent& c) {
    c.OnLog = [&](TFTPComponent&, const std::string& line, TColor) { log += line + "\n"; };
    return ++connections, false;
  };
  fetch.OnDone = [&](bool, bool large, const std::string&) {
    ++done;
    tooLarge = large;
  };
  TURLParts url{TPyFtpServer::UserName, TPyFtpServer::Password, "127.0.0.1", static_cast<unsigned>(Server.Port()), "/",
                "small.html"};
  const struct {
    const char* File;
    const char* User;
    int Connections;
    bool TooLarge;
  } steps[] = {{"small.html", TPyFtpServer::UserName, 1, false},
               {"big.html", TPyFtpServer::UserName, 1, true},
               {"small.html", "anonymous", 2, false}};
  for (const auto& step : steps) {
    SCOPED_TRACE(step.File);
    url.FileName = step.File;
    url.User = step.User;
    const std::string copy = Disk.File(std::string("copy-") + std::to_string(done));
    fetch.Fetch(url, copy);
    const int before = done;
    ASSERT_TRUE(WaitFor([&] { return done > before; }));
    EXPECT_EQ(connections, step.Connections);
    EXPECT_EQ(tooLarge, step.TooLarge);
    EXPECT_EQ(fs::exists(copy), !step.TooLarge);
    // Stopped, not fetched whole and then thrown away.
    EXPECT_EQ(log.find("Transferred 268,435,456 bytes"), std::string::npos);
  }
}

}  // namespace
}  // namespace ferrowin::test
