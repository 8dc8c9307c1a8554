// The local view over the desktop's file model: folders, masks, dates, free space, rename in
// place, new folders, the trash and the clipboard.

#include <QApplication>
#include <QClipboard>
#include <QFileSystemModel>
#include <QMimeData>
#include <QLineEdit>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <sys/time.h>

#include "LoclView.h"
#include "ViewTestSupport.h"

namespace ferrowin::test {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

class LocalView : public TViewTest {
 protected:
  void SetUp() override {
    TViewTest::SetUp();
    std::ofstream(Files.File("a.txt")) << "alpha";
    std::ofstream(Files.File("b.bin")) << "bravo!";
    fs::create_directory(Files.File("sub"));
    Window = std::make_unique<QWidget>();
    Window->resize(500, 300);
    View = new TLocalView(Window.get());
    View->OnFolderChanged = [this](QObject&) { ++FolderChanges; };
    View->OnFileChanging = [this](TCustomView&, const std::string& path) { Changing.push_back(path); };
    Window->show();
    ASSERT_TRUE(View->ChangeFolder(Files.Path()));
    ASSERT_TRUE(WaitFor([&] { return View->ListView()->ItemCount() == 3; }));
    Changing.clear();
  }
  void Release() override { Window.reset(); }
  int Row(const std::string& name) {
    for (int i = 0; i < View->ListView()->ItemCount(); ++i)
      if (View->GetItemName(i) == name) return i;
    return -1;
  }

  TTempDir Files;
  std::unique_ptr<QWidget> Window;
  TLocalView* View = nullptr;
  int FolderChanges = 0;
  Names Changing;
};

TEST_F(LocalView, ShowsAFolderWithItsFreeSpace) {
  EXPECT_EQ(View->GetFolder(), Files.Path() + "/");
  EXPECT_EQ(FolderChanges, 1);
  const QString free = View->StatusBar()->PanelText(3);
  EXPECT_TRUE(free.endsWith(" Bytes Free")) << free.toStdString();
  EXPECT_TRUE(free.contains(',')) << free.toStdString();  // grouped thousands
  const int a = Row("a.txt");
  ASSERT_GE(a, 0);
  EXPECT_EQ(View->GetItemPath(a), Files.File("a.txt"));
  EXPECT_EQ(View->GetItemSize(a), 5);
  EXPECT_FALSE(View->ItemIsFolder(a));
  EXPECT_TRUE(View->ItemIsFolder(Row("sub")));
  ASSERT_TRUE(WaitFor([&] {
    View->UpdateStatus();
    return View->StatusBar()->PanelText(1) == "3 Entries, 11 Bytes";
  }));
}

TEST_F(LocalView, DatesAreCutToTheMinute) {
  std::tm when{};
  when.tm_year = 2024 - 1900;
  when.tm_mon = 2;
  when.tm_mday = 14;
  when.tm_hour = 10;
  when.tm_min = 15;
  when.tm_sec = 59;
  when.tm_isdst = -1;
  const timeval times[2] = {{std::mktime(&when), 900000}, {std::mktime(&when), 900000}};
  ASSERT_EQ(::utimes(Files.File("a.txt").c_str(), times), 0);
  View->Refresh();
  ASSERT_TRUE(WaitFor([&] { return Row("a.txt") >= 0 && DecodeDateTime(View->GetItemDate(Row("a.txt"))).Day == 14; }));
  EXPECT_EQ(DecodeDateTime(View->GetItemDate(Row("a.txt"))), (TDateTimeParts{2024, 3, 14, 10, 15, 0, 0}));
}

TEST_F(LocalView, NavigatesIntoAndOutOfFolders) {
  EXPECT_TRUE(View->OpenItem(Row("sub")));
  EXPECT_EQ(View->GetFolder(), Files.File("sub") + "/");
  EXPECT_FALSE(View->OpenItem(-1));
  EXPECT_TRUE(View->FolderUp());
  EXPECT_EQ(View->GetFolder(), Files.Path() + "/");
  EXPECT_FALSE(View->ChangeFolder(Files.File("missing")));
  EXPECT_EQ(View->GetFolder(), Files.Path() + "/");
  EXPECT_TRUE(View->ChangeFolder("/"));
  EXPECT_EQ(View->GetFolder(), "/");
  EXPECT_FALSE(View->FolderUp());
  EXPECT_EQ(FolderChanges, 4);
}

TEST_F(LocalView, MasksHideFilesButNotFolders) {
  // The status panel counts only the entries the mask lets through.
  const struct {
    const char* Mask;
    const char* Hidden;
    const char* Status;
  } steps[] = {{"*.txt", "b.bin", "2 Entries, 5 Bytes"}, {"*.bin", "a.txt", "2 Entries, 6 Bytes"},
               {"*.*", "", "3 Entries, 11 Bytes"}};
  for (const auto& step : steps) {
    SCOPED_TRACE(step.Mask);
    View->SetMask(step.Mask);
    EXPECT_EQ(View->GetMask(), step.Mask);
    EXPECT_TRUE(WaitFor([&] { return View->StatusBar()->PanelText(1) == step.Status; }))
        << View->StatusBar()->PanelText(1).toStdString();
    EXPECT_GE(Row("sub"), 0);
    if (*step.Hidden) {
      EXPECT_EQ(Row(step.Hidden), -1);
    }
  }
  // Going to a masked folder waits for what the mask shows, not for every file on disk.
  View->SetMask("*.txt");
  ASSERT_TRUE(View->ChangeFolder(Files.File("sub")));
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(View->ChangeFolderWait(Files.Path()));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));  // its deadline is 10 s
  EXPECT_EQ(View->ListView()->ItemCount(), 2);
}

TEST_F(LocalView, RenameInPlaceAndByName) {
  TListControl* list = View->ListView();
  list->SetFocused(Row("a.txt"));
  list->CurrentView()->setFocus();
  QTest::keyClick(list->CurrentView(), Qt::Key_F2);
  auto* editor = list->CurrentView()->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  editor->setText("renamed.txt");
  QTest::keyClick(editor, Qt::Key_Return);
  ASSERT_TRUE(WaitFor([&] { return !list->IsEditing(); }));
  EXPECT_EQ(Changing, Names{Files.File("a.txt")});
  EXPECT_TRUE(fs::exists(Files.File("renamed.txt")));
  EXPECT_FALSE(fs::exists(Files.File("a.txt")));
  // A rename never replaces another file.
  EXPECT_FALSE(View->RenameEntry(Files.File("renamed.txt"), Files.File("b.bin")));
  EXPECT_EQ(fs::file_size(Files.File("b.bin")), 6u);
  EXPECT_TRUE(View->RenameEntry(Files.File("renamed.txt"), Files.File("c.txt")));
  EXPECT_TRUE(fs::exists(Files.File("c.txt")));
}

TEST_F(LocalView, NewFoldersTakeTheDefaultName) {
  EXPECT_TRUE(View->NewFolder("ignored", false));
  EXPECT_TRUE(View->NewFolder("ignored", true));
  EXPECT_TRUE(fs::is_directory(Files.File("New Folder")));
  EXPECT_TRUE(fs::is_directory(Files.File("New Folder (2)")));
  EXPECT_TRUE(View->ListView()->IsEditing());
}

TEST_F(LocalView, DeleteMovesTheSelectionToTheTrash) {
  View->ListView()->SetSelected(Row("a.txt"), true);
  View->ListView()->SetSelected(Row("sub"), true);
  EXPECT_TRUE(View->DeleteSelected(true));
  EXPECT_EQ(Changing, Names{Files.File("a.txt")});  // folders are not announced
  EXPECT_FALSE(fs::exists(Files.File("a.txt")));
  EXPECT_FALSE(fs::exists(Files.File("sub")));
  ASSERT_TRUE(WaitFor([&] { return View->ListView()->ItemCount() == 1; }));
  View->ListView()->ClearSelection();
  EXPECT_FALSE(View->DeleteSelected(false));
}

TEST_F(LocalView, CopyAndPasteNeverOverwrite) {
  View->ListView()->SetSelected(Row("a.txt"), true);
  View->CopySelected();
  // The desktop's file managers paste from this list.
  EXPECT_EQ(QApplication::clipboard()->mimeData()->data("x-special/gnome-copied-files"),
            "copy\n" + QUrl::fromLocalFile(QString::fromStdString(Files.File("a.txt"))).toEncoded());
  ASSERT_TRUE(View->OpenItem(Row("sub")));
  View->PasteFiles();
  EXPECT_EQ(fs::file_size(Files.File("sub/a.txt")), 5u);
  std::ofstream(Files.File("sub/a.txt")) << "changed here";
  View->PasteFiles();
  EXPECT_EQ(fs::file_size(Files.File("sub/a.txt")), 12u);
  EXPECT_TRUE(fs::exists(Files.File("a.txt")));
  // Nor does a cut: both files stay as they are.
  ASSERT_TRUE(View->ChangeFolderWait(Files.Path()));
  ASSERT_TRUE(WaitFor([&] { return Row("a.txt") >= 0; }));
  View->ListView()->ClearSelection();
  View->ListView()->SetSelected(Row("a.txt"), true);
  View->CutSelected();
  ASSERT_TRUE(View->ChangeFolderWait(Files.File("sub")));
  View->PasteFiles();
  EXPECT_EQ(fs::file_size(Files.File("sub/a.txt")), 12u);
  EXPECT_EQ(fs::file_size(Files.File("a.txt")), 5u);
}

TEST_F(LocalView, TakesNoTransfersAndNoDropsFromItself) {
  EXPECT_FALSE(View->TransferFrom(*View));
  EXPECT_FALSE(View->ListDragOver(View->ListView()));
}

}  // namespace
}  // namespace ferrowin::test
