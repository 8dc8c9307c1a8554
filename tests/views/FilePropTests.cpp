// The properties dialogs: the size text, and the remote dialog opened by the host view on a
// scripted server that records the SITE CHMOD commands the dialog's answers cause.

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "FileProp.h"
#include "Prompts.h"
#include "Screenshots.h"
#include "Shell.h"
#include "ViewTestSupport.h"
#include "ViewTestWindow.h"

namespace ferrowin::test {
namespace {

// Names are remembered per extension: each extension keeps its own, short ones too.
TEST(ShellTypeName, EachExtensionHasItsOwn) {
  const QString jpg = ShellTypeName("a.jpg"), mpg = ShellTypeName("b.MPG");
  EXPECT_FALSE(jpg.isEmpty());
  EXPECT_NE(jpg, mpg);
  EXPECT_EQ(ShellTypeName("c.JPG"), jpg);
  EXPECT_FALSE(ShellTypeName("main.c").isEmpty());
  EXPECT_EQ(ShellTypeName("README"), "");
}

TEST(PropertiesSize, TruncatedUnitThenTheWholeByteCount) {
  const std::pair<std::uint64_t, const char*> cases[] = {
      {0, "0 (0 Bytes)"},
      {1024, "1024 (1024 Bytes)"},
      {1025, "1KB (1025 Bytes)"},
      {2047, "1KB (2047 Bytes)"},
      {1048576, "1024KB (1048576 Bytes)"},
      {1048577, "1MB (1048577 Bytes)"},
      {5368709120ull, "5120MB (5368709120 Bytes)"},
  };
  for (const auto& [size, text] : cases) EXPECT_EQ(PropertiesSizeText(size), text) << size;
}

// A folder (listed sizes of folders count as 0), and three files whose sizes add up past 32 bits.
const char* const RootListing =
    "drwxr-xr-x   2 joe  users       512 Jan 05 10:30 SUB\r\n"
    "-rw-r--r--   1 joe  users      1025 Jan 05 10:31 a.txt\r\n"
    "-rw-r--r--   1 joe  users 3000000000 Jan 05 10:31 big.iso\r\n"
    "-rw-rw-r--   1 joe  users        10 Jan 05 10:31 c.txt\r\n";

class PropertiesDialog : public TViewTest {
 protected:
  void SetUp() override {
    TViewTest::SetUp();
    TScript script;
    script.StandardLogin()
        .On("PASV", {Action("pasv", Json("227 Entering Passive Mode ({})."))})
        .Reply("PWD", "257 \"/\" is current directory.")
        .Reply("CWD .*", "250 Changed.")
        .Reply("SITE CHMOD .*", "200 SITE CHMOD command successful.")
        .Reply("NOOP", "200 NOOP ok.")
        .On("LIST", {Send("150 Here it comes."), Action("data", Json(RootListing)), Send("226 Done.")});
    Server = std::make_unique<TFakeFtpServer>(script.ToJson());
    Window = std::make_unique<TViewTestWindow>();
    Window->show();
    Host().FTP().SetPassive(true);
    Host().ConnectHost("127.0.0.1", Server->Port(), "", "", "", "pw", "joe");
    ASSERT_TRUE(WaitFor([&] { return Host().ListView()->ItemCount() == 4 && !Host().ChangingFolder(); }));
  }
  void Release() override {
    SetDialogAnswerer(nullptr);
    Window.reset();
    Server.reset();
  }
  THostView& Host() { return Window->Host(); }
  void Select(std::initializer_list<const char*> names) {
    TListControl& list = *Host().ListView();
    list.ClearSelection();
    for (int i = 0; i < list.ItemCount(); ++i)
      for (const char* name : names)
        if (list.Caption(i) == name) list.SetSelected(i, true);
  }
  // Shows the dialog the view makes, lets check() look and act, then presses button.
  bool Show(const std::function<void(TfrmProperties&)>& check, bool ok = true) {
    SetDialogAnswerer([&](QDialog& dialog) {
      auto& properties = dynamic_cast<TfrmProperties&>(dialog);
      properties.show();
      check(properties);
      QTest::mouseClick(ok ? properties.btnOK : properties.btnCancel, Qt::LeftButton);
      return properties.result();
    });
    return Host().ShowProperties();
  }
  // The SITE CHMOD lines the server received, once a NOOP sent after them has come back.
  std::vector<std::string> Chmods() {
    Host().FTP().NoOp();
    EXPECT_TRUE(WaitFor([&] { return Received("NOOP") > NoOps; }));
    NoOps = Received("NOOP");
    std::vector<std::string> chmods;
    for (const std::string& line : Server->Received())
      if (line.rfind("SITE CHMOD", 0) == 0) chmods.push_back(line);
    return chmods;
  }
  int Received(const std::string& line) {
    const auto all = Server->Received();
    return static_cast<int>(std::count(all.begin(), all.end(), line));
  }
  static std::string Boxes(const TfrmProperties& d) {
    std::string bits;
    for (QCheckBox* box : {d.cbOwnerRead, d.cbOwnerWrite, d.cbOwnerExecute, d.cbGroupRead, d.cbGroupWrite,
                           d.cbGroupExecute, d.cbAllRead, d.cbAllWrite, d.cbAllExecute})
      bits += box->isChecked() ? '1' : '0';
    return bits;
  }
  std::unique_ptr<TFakeFtpServer> Server;
  std::unique_ptr<TViewTestWindow> Window;
  int NoOps = 0;
};

TEST_F(PropertiesDialog, OneFileSendsItsNewModeOnlyAfterABoxWasClicked) {
  Select({"a.txt"});
  EXPECT_TRUE(Show([](TfrmProperties& d) {
    EXPECT_EQ(d.windowTitle(), "a.txt Properties");
    EXPECT_EQ(d.lblFileName->text(), "a.txt");
    EXPECT_EQ(d.lblLocation->text(), "(Server Root)");
    EXPECT_EQ(d.lblSize->text(), "1KB (1025 Bytes)");
    EXPECT_FALSE(d.lblDate->text().isEmpty());
    EXPECT_FALSE(d.imgIcon->pixmap().isNull());
    EXPECT_EQ(Boxes(d), "110100100");  // rw-r--r--
    SaveScreenshot(&d, "properties-one-file");
  }));
  EXPECT_TRUE(Chmods().empty());  // OK without a click sends nothing
  EXPECT_FALSE(Show([](TfrmProperties& d) { QTest::mouseClick(d.cbGroupRead, Qt::LeftButton); }, false));
  EXPECT_TRUE(Chmods().empty());  // nor does Cancel
  EXPECT_TRUE(Show([](TfrmProperties& d) { QTest::mouseClick(d.cbGroupRead, Qt::LeftButton); }));
  EXPECT_EQ(Chmods(), std::vector<std::string>{"SITE CHMOD 604 /a.txt"});
}

TEST_F(PropertiesDialog, SeveralEntriesShowASummaryAndGetTheSetTheyShare) {
  Select({"SUB", "a.txt", "big.iso", "c.txt"});
  EXPECT_TRUE(Show([](TfrmProperties& d) {
    EXPECT_EQ(d.windowTitle(), "SUB,... Properties");
    EXPECT_EQ(d.lblFileName->text(), "3 Files, 1 Folders");
    EXPECT_EQ(d.lblType->text(), "Multiple Types");
    EXPECT_EQ(d.lblDate->text(), "Multiple Dates");
    EXPECT_EQ(d.lblSize->text(), "2861MB (3000001035 Bytes)");  // past 32 bits; folders count 0
    EXPECT_EQ(Boxes(d), "110100100");  // only what all four have
    SaveScreenshot(&d, "properties-mixed-selection");
    QTest::mouseClick(d.cbAllRead, Qt::LeftButton);
  }));
  EXPECT_EQ(Chmods(), (std::vector<std::string>{"SITE CHMOD 640 /SUB", "SITE CHMOD 640 /a.txt",
                                                "SITE CHMOD 640 /big.iso", "SITE CHMOD 640 /c.txt"}));

  // Files of one type show that type and its icon.
  Select({"a.txt", "c.txt"});
  EXPECT_TRUE(Show([](TfrmProperties& d) {
    EXPECT_EQ(d.lblFileName->text(), "2 Files, 0 Folders");
    EXPECT_NE(d.lblType->text(), "Multiple Types");
    EXPECT_FALSE(d.imgIcon->pixmap().isNull());
    EXPECT_EQ(Boxes(d), "110100100");
  }));
  Select({"SUB"});
  EXPECT_TRUE(Show([](TfrmProperties& d) { EXPECT_EQ(Boxes(d), "111101101"); }));  // rwxr-xr-x, to the last box
  Select({});
  EXPECT_FALSE(Host().ShowProperties());
}

TEST_F(PropertiesDialog, WithoutPermissionEditingTheBoxesAreOffAndChangeNothing) {
  Select({"a.txt"});
  TfrmProperties d;
  d.Images = &TShellImages::Instance();
  d.List = Host().ListView();
  d.Location = "/pub/";
  d.show();
  EXPECT_EQ(d.lblLocation->text(), "/pub");
  EXPECT_FALSE(d.cbOwnerRead->isEnabled());
  EXPECT_FALSE(d.lblAttributes->isEnabled());
  EXPECT_EQ(Boxes(d), "000000000");
  d.cbOwnerReadClick();
  d.btnOKClick();
  EXPECT_FALSE(d.PermissionsChanged());
  EXPECT_EQ(d.Permissions(), 0);
}

TEST_F(PropertiesDialog, LocalFilesShowTheirFacts) {
  const std::string path = Home.File("notes.txt");
  std::ofstream(path) << std::string(1025, 'x');
  namespace fs = std::filesystem;
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  TdlgLocalProperties d(QFileInfo(QString::fromStdString(path)));
  EXPECT_EQ(d.windowTitle(), "notes.txt Properties");
  EXPECT_EQ(d.lblLocation->text(), QString::fromStdString(Home.Path()));
  EXPECT_EQ(d.lblSize->text(), "1KB (1025 Bytes)");
  EXPECT_TRUE(d.lblPermissions->text().startsWith("rw-r-----  (owner ")) << d.lblPermissions->text().toStdString();
  EXPECT_FALSE(d.lblDate->text().isEmpty());
  d.show();  // laid out: one row per fact, none drawn over another
  EXPECT_GT(d.lblSize->geometry().top(), d.lblLocation->geometry().bottom());
  EXPECT_GT(d.lblLocation->geometry().top(), d.lblFileName->geometry().bottom());
}

}  // namespace
}  // namespace ferrowin::test
