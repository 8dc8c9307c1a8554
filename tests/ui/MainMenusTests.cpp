// The main window's commands: every menu and context-menu item against a table, connected
// and not; Send To, the clipboard texts, Delete with and without Shift, Edit with, the
// double-click default, the programs for fetched files, the toolbar sizes, the view styles.

#include <QAction>
#include <QLabel>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <fstream>
#include <map>

#include "HostView.h"
#include "LogControl.h"
#include "LoclView.h"
#include "Main.h"
#include "Programs.h"
#include "Prompts.h"
#include "ToolPanel.h"
#include "Transfer.h"
#include "MainTestSupport.h"
#include "ViewTestSupport.h"

namespace ferrowin::test {
namespace {

namespace fs = std::filesystem;

// Path of captions -> "shortcut, enabled" (text, so a difference prints readably).
using TMenuItems = std::map<std::string, std::string>;
std::string State(const QString& shortcut, bool enabled) {
  return shortcut.toStdString() + (enabled ? " on" : " off");
}

// Every visible item under a menu, by its path of captions.
void Walk(QMenu* menu, const QString& path, TMenuItems& items) {
  emit menu->aboutToShow();  // enabled states are worked out on opening
  for (QAction* a : menu->actions()) {
    if (a->isSeparator() || !a->isVisible()) continue;
    const QString name = path + '>' + a->text();
    items[name.toStdString()] = State(a->shortcut().toString(), a->isEnabled());
    if (a->menu()) Walk(a->menu(), name, items);
  }
}

class MainMenus : public TViewTest {
 protected:
  void SetUp() override {
    TViewTest::SetUp();
    std::ofstream(Home.File("ferrowin.ini")) << "[Connection]\r\nShowManager=0\r\n";
    for (const char* name : {"hello.txt", "a.txt", "b.txt", "c.txt"}) std::ofstream(Server.RootFile(name)) << name;
    fs::create_directory(Server.RootFile("sub"));
    for (const char* name : {"page.HTM", "notes.txt", "pic.gif", "Makefile"}) std::ofstream(Disk.File(name)) << "x";
    fs::create_directory(Disk.File("dir"));
    Window = std::make_unique<TfrmMain>();
    Window->show();
    EXPECT_TRUE(Window->CurrentLocalView()->ChangeFolderWait(Disk.Path()));
  }
  void Release() override {
    SetDialogAnswerer(nullptr);
    SetPromptAnswerer(nullptr);
    SetProgramStarter(nullptr);
    Window.reset();
  }
  THostView& Connect() { return ConnectToTestServer(*Window, Server); }
  // Selects exactly the named entries; the first becomes the focused one.
  static void Select(TCustomView& view, const std::vector<QString>& names) {
    TListControl* list = view.ListView();
    list->ClearSelection();
    for (const QString& name : names)
      for (int row = 0; row < list->ItemCount(); ++row)
        if (list->Caption(row) == name) {
          list->SetSelected(row, true);
          if (name == names.front()) list->SetFocused(row);
        }
  }
  TMenuItems Items() {
    TMenuItems items;
    for (QAction* top : Window->menuBar()->actions()) Walk(top->menu(), top->text(), items);
    Walk(Window->popHost, "Host", items);
    Walk(Window->PopLocal, "Local list", items);
    TfrmMain& w = *Window;
    for (auto [side, buttons] : {std::pair{"Tools>local ", std::vector{w.btnLocalChDir, w.btnLocalUp, w.btnLocalView,
                                                                      w.btnLocalViewStyle, w.btnLocalEdit, w.btnLocalNew,
                                                                      w.btnLocalClose, w.btnUpload}},
                                 {"Tools>host ", {w.btnHostChDir, w.btnHostUp, w.btnHostView, w.btnHostViewStyle,
                                                  w.btnHostEdit, w.btnHostNew, w.btnHostClose, w.btnDownload}}})
      for (QToolButton* b : buttons) items[side + b->toolTip().toStdString()] = State({}, b->isEnabled());
    return items;
  }
  int Count(THostView& view, const std::string& prefix) {
    int n = 0;
    for (const auto& line : view.LogEntries()) n += line.Message.rfind(prefix, 0) == 0;
    return n;
  }
  int Listings(THostView& view) { return Count(view, "LIST") + Count(view, "MLSD"); }
  TPyFtpServer Server;
  TTempDir Disk;
  std::unique_ptr<TfrmMain> Window;
};

TEST_F(MainMenus, EveryItemHasItsCaptionShortcutAndEnabledState) {
  // Item: shortcut, enabled while disconnected with nothing selected, enabled connected with
  // a file selected and focused on each side.
  // States: disconnected then connected; 1 enabled, 0 disabled, - absent.
  struct TRow {
    const char* Path;
    const char* Shortcut;
    const char* States;
  };
  const TRow table[] = {
      {"&File>&Connect", "Ctrl+Shift+C", "11"},
      {"&File>Connect to &URL", "Ctrl+Shift+U", "11"},
      {"&File>&Stop", "Ctrl+Shift+S", "01"},
      {"&File>&Disconnect", "Ctrl+Shift+D", "01"},
      {"&File>Disconnect Transfer Connection", "", "00"},
      {"&File>&Last Connections", "", "01"},
      {"&File>&Last Connections>&1 Test", "", "-1"},
      {"&File>&Exit", "Alt+F4", "11"},
      {"&Edit>&Compare Folders", "", "01"},
      {"&Edit>Select &All", "Ctrl+A", "11"},
      {"&Edit>&Invert Selection", "Ctrl+Shift+A", "11"},
      {"&Local>E&dit with...", "", "11"},
      {"&Local>E&dit with...>&NotePad", "", "01"},
      {"&Local>E&dit with...>&Pennifold", "", "01"},
      {"&Local>&Refresh", "F5", "11"},
      {"&Local>&Create New Folder", "", "11"},
      {"&Local>Rena&me", "F2", "01"},
      {"&Local>&Erase", "Del", "01"},
      {"&Local>Mas&k files", "", "11"},
      {"&Local>&Cut", "Ctrl+X", "11"},
      {"&Local>Co&py", "Ctrl+C", "11"},
      {"&Local>&Paste", "Ctrl+V", "11"},
      {"&Local>P&roperties", "Alt+Return", "01"},
      {"&Server>E&dit with...", "", "01"},
      {"&Server>E&dit with...>&NotePad", "", "01"},
      {"&Server>E&dit with...>&Pennifold", "", "01"},
      {"&Server>&Refresh", "F5", "01"},
      {"&Server>&Create New Folder", "", "01"},
      {"&Server>Rena&me", "F2", "01"},
      {"&Server>&Erase", "Del", "01"},
      {"&Server>Mas&k files", "", "01"},
      {"&Server>P&roperties", "Alt+Return", "01"},
      {"&Options>General &Preferences", "", "11"},
      {"&Options>View &Transfer Manager", "Ctrl+G", "11"},
      {"&Options>&Maximize Server Window", "Ctrl+M", "11"},
      {"&Options>View M&essages Window", "F9", "11"},
      {"&Options>View Internal &Viewer", "F10", "11"},
      {"&Options>View &Transfers", "F12", "11"},
      {"&Help>&Help Contents", "F1", "11"},
      {"&Help>&What's This?", "", "11"},
      {"&Help>Ferrowin on the &Web", "", "11"},
      {"&Help>&About...", "", "11"},
      {"Host>&Open", "", "01"},
      {"Host>&View", "", "01"},
      {"Host>&Download", "", "01"},
      {"Host>Download &Now", "", "01"},
      {"Host>Rena&me", "", "01"},
      {"Host>Dele&te", "", "01"},
      {"Host>&Send To", "", "01"},
      {"Host>&Send To>Any &Host Folder... (Move)", "", "11"},
      {"Host>&Send To>Any &Local Folder... (Copy)", "", "11"},
      {"Host>&Send To>Clipboard as &Name", "", "11"},
      {"Host>&Send To>Clipboard as &URL", "", "11"},
      {"Host>Ne&w", "", "01"},
      {"Host>Ne&w>&Folder", "", "11"},
      {"Host>P&roperties", "", "01"},
      {"Local list>&View", "", "11"},
      {"Local list>&View>Large Icons", "", "11"},
      {"Local list>&View>Small Icons", "", "11"},
      {"Local list>&View>List", "", "11"},
      {"Local list>&View>Details", "", "11"},
      {"Local list>&Paste", "", "11"},
      {"Local list>Ne&w", "", "11"},
      {"Local list>Ne&w>&Folder", "", "11"},
      {"Local list>P&roperties", "", "01"},
      {"Tools>local Change Folder", "", "11"},
      {"Tools>local Up One Level", "", "11"},
      {"Tools>local Change Views", "", "11"},
      {"Tools>local Type of Views", "", "11"},
      {"Tools>local Edit with...", "", "11"},
      {"Tools>local New View", "", "11"},
      {"Tools>local Close View", "", "00"},
      {"Tools>local Upload", "", "01"},
      {"Tools>host Change Folder", "", "01"},
      {"Tools>host Up One Level", "", "00"},  // at the server's root
      {"Tools>host Change Views", "", "01"},
      {"Tools>host Type of Views", "", "01"},
      {"Tools>host Edit with...", "", "01"},
      {"Tools>host New View", "", "11"},
      {"Tools>host Close View", "", "00"},
      {"Tools>host Download", "", "01"},
  };
  for (bool connected : {false, true}) {
    if (connected) {
      Window->SisterEditor = "/usr/bin/true";
      THostView& host = Connect();
      host.ColumnClick(0);  // names descending: files first, so the focused file is on row 0
      Select(host, {"hello.txt"});
      EXPECT_EQ(host.ListView()->Focused(), 0);
      Select(*Window->CurrentLocalView(), {"page.HTM"});
    }
    TMenuItems expected;
    for (const TRow& row : table)
      if (const char state = row.States[connected]; state != '-') expected[row.Path] = State(row.Shortcut, state == '1');
    EXPECT_EQ(Items(), expected) << (connected ? "connected" : "disconnected");
  }
}

TEST_F(MainMenus, SelectAllAndInvertActOnTheListInFocus) {
  TListControl* list = Window->CurrentLocalView()->ListView();
  Window->mnuSelectAll->trigger();
  EXPECT_EQ(list->SelCount(), 0) << "no list in focus";
  Window->activateWindow();
  list->CurrentView()->setFocus();
  ASSERT_TRUE(WaitFor([&] { return QApplication::focusWidget() == list->CurrentView(); }));
  Window->mnuSelectAll->trigger();
  EXPECT_EQ(list->SelCount(), 5);
  Select(*Window->CurrentLocalView(), {"dir"});
  Window->mnuInvertSelect->trigger();
  EXPECT_EQ(list->SelCount(), 4);
  EXPECT_FALSE(list->IsSelected(list->Focused()));
}

TEST_F(MainMenus, EditWithFollowsTheFocusedLocalItemAndTheEditor) {
  struct TCase {
    const char* Name;
    bool Installed;
    bool NotePad, Pennifold;
  };
  for (const TCase& c : {TCase{"page.HTM", true, true, true}, TCase{"notes.txt", true, true, true},
                         TCase{"pic.gif", true, true, false}, TCase{"Makefile", true, true, false},
                         TCase{"dir", true, false, false}, TCase{"page.HTM", false, true, false}}) {
    Window->SisterEditor = c.Installed ? "/usr/bin/true" : "";
    Select(*Window->CurrentLocalView(), {c.Name});
    Window->PopEditPopup(TSide::Local, Window->mnuLocalEdit);
    const QList<QAction*> items = Window->mnuLocalEdit->actions();
    EXPECT_EQ(std::pair(items[0]->isEnabled(), items[1]->isEnabled()), std::pair(c.NotePad, c.Pennifold))
        << c.Name << (c.Installed ? " with" : " without") << " the editor";
  }
}

// Send To, the clipboard and Delete over one connection to a real server.
TEST_F(MainMenus, SendToClipboardAndDeleteActOnTheHostSelection) {
  THostView& view = Connect();
  // Edit with on the host side needs the focused entry selected, and a file.
  Window->SisterEditor = "/usr/bin/true";
  for (auto [name, selected, enabled] : {std::tuple{"a.txt", true, true}, {"a.txt", false, false}, {"sub", true, false}}) {
    Select(view, {name});
    view.ListView()->SetSelected(view.ListView()->Focused(), selected);
    Window->PopEditPopup(TSide::Host, Window->mnuHostEdit);
    EXPECT_EQ(Window->mnuHostEdit->actions()[0]->isEnabled(), enabled) << name << (selected ? "" : " unselected");
    EXPECT_EQ(Window->mnuHostEdit->actions()[1]->isEnabled(), enabled) << name << (selected ? "" : " unselected");
  }

  const QString before = QStringLiteral("left alone");
  QGuiApplication::clipboard()->setText(before);
  Select(view, {});
  Window->popHostSendToClipboardAsNameClick(true);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), before) << "nothing selected";
  Window->activateWindow();
  view.ListView()->CurrentView()->setFocus();
  ASSERT_TRUE(WaitFor([&] { return QApplication::focusWidget() == view.ListView()->CurrentView(); }));
  Window->mnuSelectAll->trigger();
  EXPECT_EQ(view.ListView()->SelCount(), view.ListView()->ItemCount()) << "the host list in focus";
  Select(view, {"a.txt", "b.txt"});
  Window->popHostSendToClipboardAsNameClick(false);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "/a.txt\r\n/b.txt");
  Window->popHostSendToClipboardAsNameClick(true);
  const QString urls = QGuiApplication::clipboard()->text();
  EXPECT_EQ(urls.count("\r\n"), 1);
  EXPECT_TRUE(urls.section("\r\n", 0, 0).startsWith("ftp://") && urls.endsWith("/b.txt")) << urls.toStdString();

  // Any local folder: through a view no tab shows, gone before the download runs.
  TTempDir target;
  SetDialogAnswerer([&](QDialog& dialog) {
    auto& browse = dynamic_cast<QFileDialog&>(dialog);
    EXPECT_EQ(browse.windowTitle(), "Select Destination Folder");
    browse.selectFile(QString::fromStdString(target.Path()));
    return int{QDialog::Accepted};
  });
  Select(view, {"hello.txt"});
  Window->popHostSendToAnyLocalFolderClick();
  EXPECT_TRUE(WaitFor([&] { return fs::exists(target.File("hello.txt")) && !view.Transferring && !view.FTP().Busy(); }));
  EXPECT_EQ(fs::file_size(target.File("hello.txt")), 9u);

  QString destination;
  SetDialogAnswerer([&](QDialog& dialog) {
    auto& box = dynamic_cast<QInputDialog&>(dialog);
    EXPECT_EQ(box.textValue(), "/");
    box.setTextValue(destination);
    return int{QDialog::Accepted};
  });
  Select(view, {"a.txt", "b.txt", "c.txt"});
  destination = "/";
  Window->popHostSendToAnyHostFolderClick();
  EXPECT_EQ(Count(view, "RNFR"), 0) << "the current folder is no move";
  const int lists = Listings(view);
  destination = "/sub";  // the separator is added
  Window->popHostSendToAnyHostFolderClick();
  EXPECT_TRUE(WaitFor([&] { return Listings(view) > lists && view.ListView()->ItemCount() == 2; }));
  EXPECT_EQ(Count(view, "RNFR"), 3);
  EXPECT_EQ(Listings(view), lists + 1);
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) EXPECT_TRUE(fs::exists(Server.RootFile("sub/") + name));

  std::vector<QString> asked;
  SetDialogAnswerer([&](QDialog& dialog) {
    asked.push_back(dialog.windowTitle());
    return int{QMessageBox::No};
  });
  Select(view, {"hello.txt"});
  Window->DeleteSelection(TSide::Host, Qt::NoModifier);
  EXPECT_EQ(asked, std::vector<QString>{"Confirm File Delete"});
  EXPECT_TRUE(fs::exists(Server.RootFile("hello.txt")));
  Window->DeleteSelection(TSide::Host, Qt::ShiftModifier);
  EXPECT_TRUE(WaitFor([&] { return !fs::exists(Server.RootFile("hello.txt")); }));
  EXPECT_EQ(asked.size(), 1u) << "Shift deletes without asking";
  // Change Folder and New Folder through their input boxes, once the view is idle again.
  SetDialogAnswerer([&](QDialog& dialog) {
    dynamic_cast<QInputDialog&>(dialog).setTextValue(destination);
    return int{QDialog::Accepted};
  });
  auto idle = [&] { return !view.FTP().Busy() && !view.Animating && !view.ChangingFolder(); };
  ASSERT_TRUE(WaitFor(idle));
  destination = "/sub/";
  Window->btnHostChDirClick();
  EXPECT_TRUE(WaitFor([&] { return idle() && view.GetFolder() == "/sub/"; }));
  destination = "made";
  Window->btnHostNewFolderClick();
  EXPECT_TRUE(WaitFor([&] { return fs::is_directory(Server.RootFile("sub/made")); }));
  Window->ToolPanel()->Button(3)->click();  // Disconnect
  EXPECT_TRUE(WaitFor([&] { return !view.Connected(); }));
}

TEST_F(MainMenus, DoubleClickDefaultOpensAndFetchedFilesAreTemporary) {
  for (auto [setting, item] : {std::pair{0, Window->popHostProperties}, {1, Window->popHostView},
                               {2, Window->popHostDownload}, {3, Window->popHostOpen}}) {
    Window->Prefs.HostDblClk = setting;
    Window->popHostPopup();
    EXPECT_EQ(Window->popHost->defaultAction(), item) << "HostDblClk " << setting;
  }
  std::vector<TProgramStart> started;
  SetProgramStarter([&](const TProgramStart& start) {
    started.push_back(start);
    return false;  // every start fails: one message each
  });
  SetPromptAnswerer([](const TPrompt&) { return QMessageBox::Ok; });
  AskedPrompts().clear();
  THostView& view = Connect();
  Select(view, {"hello.txt"});
  view.PerformDoubleClick(view.ListView()->Focused());  // HostDblClk is 3: open
  ASSERT_TRUE(WaitFor([&] { return !started.empty(); }));
  const std::string copy = started[0].Arguments.value(0).toStdString();
  EXPECT_TRUE(started[0].Program.isEmpty()) << "the desktop's handler";
  EXPECT_EQ(fs::path(copy).filename(), "hello.txt");
  ASSERT_EQ(AskedPrompts().size(), 1u);
  EXPECT_EQ(AskedPrompts()[0].Text, "An error occurred when the program was started.");
  EXPECT_EQ(AskedPrompts()[0].Icon, QMessageBox::Critical);
  EXPECT_EQ(Window->TemporaryFiles(), std::vector<std::string>{copy});

  // Local Edit with: the viewer once per file, the editor once with all, nothing unselected.
  TLocalView& local = *Window->CurrentLocalView();
  Window->SisterEditor = "/opt/pennifold/pennifold";
  struct TEdit {
    std::vector<QString> Selected;
    bool Sister;
    std::size_t Starts;
  };
  for (const TEdit& e : {TEdit{{}, true, 0}, TEdit{{}, false, 0}, TEdit{{"notes.txt", "page.HTM"}, false, 2},
                         TEdit{{"notes.txt", "page.HTM"}, true, 1}}) {
    started.clear();
    Select(local, e.Selected);
    Window->PopEditNotePadClick(TSide::Local, e.Sister);
    ASSERT_EQ(started.size(), e.Starts) << e.Selected.size() << (e.Sister ? " to the editor" : " to the viewer");
    if (e.Sister && e.Starts) {
      EXPECT_EQ(started[0].Program, "/opt/pennifold/pennifold");
      EXPECT_EQ(started[0].Arguments.size(), 2);
    }
  }

  // A local double click: 1 the viewer in the local folder, 3 the desktop's handler.
  Select(local, {"notes.txt"});
  for (auto [setting, desktop] : {std::pair{1, false}, {3, true}}) {
    started.clear();
    Window->Prefs.LocalDblClk = setting;
    Window->LocalDblClick(local, local.ListView()->Focused());
    ASSERT_EQ(started.size(), 1u) << "LocalDblClk " << setting;
    EXPECT_EQ(started[0].Program.isEmpty(), desktop);
    EXPECT_EQ(started[0].Arguments, QStringList{QString::fromStdString(Disk.File("notes.txt"))});
  }

  // View: the viewer once per file; edit: the editor once with all; download now: nothing.
  Window->SisterEditor = "/opt/pennifold/pennifold";
  const std::vector<std::string> files{Disk.File("pic.gif"), Disk.File("notes.txt")};
  for (auto [mode, starts, program] : {std::tuple{4, 2, QString()}, {5, 1, QString("/opt/pennifold/pennifold")},
                                       {2, 0, QString()}}) {
    started.clear();
    AskedPrompts().clear();
    Window->HostFilesReady(view, files, mode);
    ASSERT_EQ(static_cast<int>(started.size()), starts) << "mode " << mode;
    EXPECT_EQ(static_cast<int>(AskedPrompts().size()), starts) << "one message per failed start";
    if (mode == 5) {
      EXPECT_EQ(started[0].Arguments.size(), 2);
      EXPECT_EQ(started[0].Program, program);
    }
    if (mode == 4) {
      EXPECT_EQ(started[1].Arguments, QStringList{QString::fromStdString(files[1])});
    }
    for (const TProgramStart& s : started) EXPECT_EQ(s.Folder.toStdString(), Disk.Path());
  }
  EXPECT_EQ(Window->TemporaryFiles().size(), 3u) << "mode 2 records nothing";
  Window.reset();
  EXPECT_FALSE(fs::exists(copy) || fs::exists(files[0])) << "temporary files go at the end";
}

TEST_F(MainMenus, ToolButtonsReachTheirCommands) {
  TfrmMain& w = *Window;
  TLocalView* local = w.CurrentLocalView();
  std::vector<QString> dialogs;
  SetDialogAnswerer([&](QDialog& dialog) {
    dialogs.push_back(dialog.windowTitle());
    if (auto* browse = dynamic_cast<QFileDialog*>(&dialog)) browse->selectFile(QString::fromStdString(Disk.Path()));
    return int{dynamic_cast<QFileDialog*>(&dialog) ? QDialog::Accepted : QDialog::Rejected};
  });
  const std::string parent = fs::path(Disk.Path()).parent_path().string() + "/";
  struct TCase {
    const char* Name;
    QToolButton* Button;
    std::function<bool()> Done;
  };
  const TCase cases[] = {
      {"local New View", w.btnLocalNew, [&] { return w.pgctrlLocal->count() == 2; }},
      {"local Close View", w.btnLocalClose, [&] { return w.pgctrlLocal->count() == 1 && w.CurrentLocalView() == local; }},
      {"local Up One Level", w.btnLocalUp, [&] { return local->GetFolder() == parent; }},
      {"local Change Folder", w.btnLocalChDir, [&] { return local->GetFolder() == Disk.Path() + "/"; }},
      {"local New Folder", w.btnLocalNewFolder, [&] { return fs::is_directory(Disk.File("New Folder")); }},
      {"local Change Views", w.btnLocalView, [&] { return local->ListView()->ViewStyle() == TViewStyle::Report; }},
      {"host New View", w.btnHostNew, [&] { return w.pgctrlHost->count() == 2 && dialogs.back() != "Select Folder to View"; }},
      {"host Close View", w.btnHostClose, [&] { return w.pgctrlHost->count() == 1; }},
      {"Maximize Host View", w.ToolPanel()->Button(6), [&] { return !w.btnUpload->isVisibleTo(&w); }},
  };
  EXPECT_EQ(w.editLocalFolder->text().toStdString(), Disk.Path() + "/");
  EXPECT_GT(w.editLocalFolder->y(), w.btnLocalRefresh->y()) << "the path box sits under the tool row";
  for (const TCase& c : cases) {
    c.Button->click();
    EXPECT_TRUE(WaitFor(c.Done)) << c.Name;
  }
}

TEST_F(MainMenus, ClosingATabShowsTheOneToItsLeft) {
  TfrmMain& w = *Window;
  for (int i = 0; i < 2; ++i) w.NewHostView();
  ASSERT_EQ(w.pgctrlHost->count(), 3);
  w.pgctrlHost->setCurrentIndex(1);
  w.btnHostCloseClick();
  EXPECT_EQ(w.pgctrlHost->currentIndex(), 0);
}

TEST_F(MainMenus, ToolbarSizesMaximizeAndViewStyles) {
  TToolPanel& bar = *Window->ToolPanel();
  bar.SetLarge(false);
  QCoreApplication::processEvents();
  EXPECT_GE(Window->aniActivity->x(), bar.geometry().right());  // the animation at the right end
  // The bar under the toolbar dragged down with the mouse, as far as the large size needs.
  auto* grip = Window->findChild<TBarGrip*>();
  ASSERT_NE(grip, nullptr);
  for (const auto& [from, to] : {std::pair{1, 30}, std::pair{30, 1}}) {
    QTest::mousePress(grip, Qt::LeftButton, {}, QPoint(10, from));
    QMouseEvent drag(QEvent::MouseMove, QPointF(10, to), grip->mapToGlobal(QPointF(10, to)), Qt::NoButton,
                     Qt::LeftButton, {});
    QApplication::sendEvent(grip, &drag);
    QTest::mouseRelease(grip, Qt::LeftButton, {}, QPoint(10, to));
    EXPECT_EQ(bar.Large(), to > from);
  }
  const int log = Window->memoLog->height();
  struct TStep {
    int Y;
    bool Large;
  };
  for (const TStep& step : {TStep{27, false}, TStep{29, true}, TStep{-28, true}, TStep{-29, false}}) {
    bar.BarMove(step.Y);
    EXPECT_EQ(bar.height(), step.Large ? 62 : 34) << "drag " << step.Y;
    QCoreApplication::processEvents();
    EXPECT_EQ(Window->memoLog->height(), log) << "the log keeps its height under a toolbar of either size";
    const int width = step.Large ? 62 : 36;
    for (int i = 0; i < bar.Count(); ++i) EXPECT_EQ(bar.Button(i)->geometry().left(), i * width + 4);
  }
  const std::vector<QAction*> positions{Window->btnConnect,     Window->btnConnectURL,   Window->btnStop,
                                        Window->btnDisconnect,  nullptr,                 Window->btnTransferMng,
                                        Window->btnMaximizeHost, Window->btnShowLog,     Window->btnExplorer};
  ASSERT_EQ(bar.Count(), 9);
  for (int i = 0; i < bar.Count(); ++i) EXPECT_EQ(bar.Button(i)->defaultAction(), positions[i]) << "position " << i;
  EXPECT_FALSE(bar.Button(4)->isEnabled()) << "the divider";
  EXPECT_TRUE(Window->memoLog->isVisibleTo(Window.get()));
  EXPECT_FALSE(Window->pnlViewer->isVisibleTo(Window.get())) << "no viewer asked for: the log has the place";
  bar.setFixedHeight(40);
  EXPECT_FALSE(bar.BarMove(100)) << "only at one of its two heights";

  Window->mnuMaximizeHost->trigger();
  EXPECT_TRUE(Window->btnMaximizeHost->isChecked());
  EXPECT_FALSE(Window->btnUpload->isVisibleTo(Window.get()) || Window->btnLocalRefresh->isVisibleTo(Window.get()));
  Window->btnMaximizeHost->trigger();
  EXPECT_FALSE(Window->mnuMaximizeHost->isChecked());
  EXPECT_TRUE(Window->btnUpload->isVisibleTo(Window.get()) && Window->btnLocalRefresh->isVisibleTo(Window.get()));

  // The centre strip dragged far either way leaves each side the room of its tool row.
  QWidget* strip = Window->btnUpload->parentWidget();
  QWidget* localSide = Window->btnLocalRefresh->parentWidget();
  QWidget* hostSide = Window->btnHostRefresh->parentWidget();
  for (int dx : {-5000, 5000}) {
    QTest::mousePress(strip, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(strip, QPoint(10 + dx, 10));
    QTest::mouseRelease(strip, Qt::LeftButton, {}, QPoint(10 + dx, 10));
    QWidget* side = dx < 0 ? localSide : hostSide;
    EXPECT_EQ(side->width(), side->minimumSizeHint().width()) << "drag " << dx;
  }
  EXPECT_EQ(strip->cursor().shape(), Qt::SizeHorCursor);
  const int wide = localSide->width();
  QTest::mousePress(strip, Qt::LeftButton, {}, QPoint(40, 10));
  QTest::mouseMove(strip, QPoint(10, 10));
  QTest::mouseRelease(strip, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(localSide->width(), wide - 30) << "the side follows the pointer from where it was pressed";

  // A plain click on these buttons drops their menu down.
  for (QToolButton* button : {Window->btnLocalEdit, Window->btnLocalViewStyle}) {
    QWidget* shown = nullptr;
    QTimer::singleShot(0, [&shown] {
      shown = QApplication::activePopupWidget();
      if (shown) shown->close();
    });
    QTest::mouseClick(button, Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_TRUE(shown && shown == button->menu()) << button->toolTip().toStdString();
  }

  TListControl* list = Window->CurrentLocalView()->ListView();
  ASSERT_EQ(Window->ViewStyle(TSide::Local), 2);
  Window->btnLocalViewClick();
  Window->btnLocalViewClick();
  EXPECT_EQ(Window->ViewStyle(TSide::Local), 0) << "3 wraps to 0";
  Window->btnHostViewClick();
  EXPECT_EQ(Window->CurrentHostView()->ListView()->ViewStyle(), TViewStyle::Report);
  Window->PopIconClick(TSide::Local, 3);
  EXPECT_EQ(list->ViewStyle(), TViewStyle::Report);
  EXPECT_EQ(Window->ViewStyle(TSide::Local), 0) << "the drop-down leaves the remembered style";
  Window->PopViewStylePopup(TSide::Local, Window->btnLocalViewStyle->menu());
  EXPECT_TRUE(Window->btnLocalViewStyle->menu()->actions()[3]->isChecked());
}

}  // namespace
}  // namespace ferrowin::test
