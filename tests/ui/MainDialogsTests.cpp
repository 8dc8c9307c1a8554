// The main window's hooks for the dialogs of its commands: Connect to URL connects the
// current tab, and the Help buttons of the site manager and the preferences open their pages.

#include <QLineEdit>
#include <QPushButton>
#include <QComboBox>
#include <QFileDialog>
#include <QTextBrowser>
#include <fstream>

#include "Help.h"
#include "HostView.h"
#include "Main.h"
#include "OptionsDialog.h"
#include "Prompts.h"
#include "ServerProcess.h"
#include "URLForm.h"
#include "ViewTestSupport.h"

namespace ferrowin::test {
namespace {

class MainDialogs : public TViewTest {
 protected:
  void SetUp() override {
    TViewTest::SetUp();
    std::ofstream(Home.File("ferrowin.ini")) << "[Connection]\r\nShowManager=0\r\n";
    std::ofstream(Server.RootFile("hello.txt")) << "hi";
    Window = std::make_unique<TfrmMain>();
    Window->show();
  }
  void Release() override {
    SetDialogAnswerer(nullptr);
    CloseHelpWindow();
    Window.reset();
  }
  TPyFtpServer Server;
  std::unique_ptr<TfrmMain> Window;
};

TEST_F(MainDialogs, ConnectToURLConnectsTheCurrentTabAndKeepsTheURL) {
  const QString url = QString("ftp://%1:%2@127.0.0.1:%3/")
                          .arg(TPyFtpServer::UserName, TPyFtpServer::Password)
                          .arg(Server.Port());
  SetDialogAnswerer([&](QDialog& dialog) {
    auto& form = dynamic_cast<TfrmURL&>(dialog);
    form.cmboURL->setEditText(url);
    form.cmboEncryption->setCurrentIndex(static_cast<int>(TEncryption::Optional));
    form.btnOK->click();
    return form.result();
  });
  Window->ConnectURLDialog();
  THostView* view = Window->CurrentHostView();
  ASSERT_TRUE(WaitFor([&] { return view->Connected() && view->ListView()->ItemCount() > 0; }));
  EXPECT_EQ(view->ListView()->Caption(0), "hello.txt");
  EXPECT_EQ(Window->pgctrlHost->tabText(0), "127.0.0.1");
  EXPECT_EQ(Window->Prefs.URLs.front(), url.toStdString());
  EXPECT_EQ(view->FTP().Encryption, TEncryption::Optional);  // the dialog's choice reached the connection
}

// An http URL saved through the dialog arrives through the General queue.
TEST_F(MainDialogs, ConnectToAnHttpURLDownloadsWhereTheUserSaid) {
  TTempDir served;
  WriteFile(served.File("page.html"), "<p>served over http</p>");
  TServerProcess http({"/usr/bin/python3", "-c",
                       "import functools, http.server as h, sys\n"
                       "s = h.ThreadingHTTPServer(('127.0.0.1', 0), functools.partial(h.SimpleHTTPRequestHandler, "
                       "directory=sys.argv[1]))\n"
                       "print('PORT', s.server_address[1], flush=True)\ns.serve_forever()",
                       served.Path()});
  const std::string saved = Home.File("saved copy.html");
  SetDialogAnswerer([&](QDialog& dialog) {
    if (auto* save = dynamic_cast<QFileDialog*>(&dialog)) {
      EXPECT_EQ(save->selectedFiles().value(0).section('/', -1), "page.html");  // the URL's name proposed
      save->selectFile(QString::fromStdString(saved));
      return int(QDialog::Accepted);
    }
    auto& form = dynamic_cast<TfrmURL&>(dialog);
    form.cmboURL->setEditText(QString("http://127.0.0.1:%1/page.html").arg(http.Port()));
    form.btnOK->click();
    return form.result();
  });
  Window->ConnectURLDialog();
  ASSERT_TRUE(WaitFor([&] { return ReadFile(saved) == "<p>served over http</p>"; }));
  EXPECT_FALSE(Window->CurrentHostView()->Connected()) << "an http URL opens no ftp connection";
}

TEST_F(MainDialogs, HelpButtonsOpenTheirPages) {
  const std::pair<std::function<void()>, int> commands[] = {
      {[&] { Window->btnConnectClick(); }, ManagerHelpContext},
      {[&] { Window->mnuPreferencesClick(); }, OptionsHelpContext},
  };
  for (const auto& [command, context] : commands) {
    SetDialogAnswerer([](QDialog& dialog) {
      for (QPushButton* button : dialog.findChildren<QPushButton*>())
        if (button->text() == "&Help") button->click();
      return int(QDialog::Rejected);
    });
    CloseHelpWindow();
    command();
    ASSERT_NE(HelpWindow(), nullptr) << context;
    EXPECT_EQ(HelpWindow()->Browser()->source().fragment(), QString("context-%1").arg(context));
  }
}

}  // namespace
}  // namespace ferrowin::test
