#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "LayoutCheck.h"
#include "Manager.h"
#include "Options.h"
#include "PasswordForm.h"
#include "Prompts.h"
#include "Screenshots.h"
#include "TempHome.h"

namespace ferrowin {
namespace {

class ManagerDialogTest : public ::testing::Test {
 protected:
  test::TTempHome Home;
  std::string Path = Home.File("Sites.ini");
  std::string DevFolder = Home.File("Dev");
  TPreferences Prefs;
  QMessageBox::StandardButton Answer = QMessageBox::Yes;

  void SetUp() override {
    Prefs.EMail = "me@example.org";
    Prefs.DefaultDir = "/srv/default";
    AskedPrompts().clear();
    SetPromptAnswerer([this](const TPrompt&) { return Answer; });
  }
  void TearDown() override {
    SetPromptAnswerer({});
    SetDialogAnswerer({});
  }

  std::unique_ptr<TfrmManager> Open() {
    auto dialog = std::make_unique<TfrmManager>(Prefs, TManagerContext{Path, DevFolder, {}});
    dialog->show();
    return dialog;
  }

  void SaveThree() {
    TSiteFile sites(Path);
    for (const char* name : {"Beta", "alpha", "Gamma"}) {
      TSite site;
      site.Name = name;
      site.Host = std::string("host-") + name;
      site.User = std::string("user-") + name;
      site.Password = "pw";
      site.Firewall = false;
      sites.WriteSite(site);
    }
    sites.WriteNames({"alpha", "Beta", "Gamma"}, "Beta");
  }

  static QStringList Items(QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    return items;
  }
};

TEST_F(ManagerDialogTest, FirstStartWithoutSiteFileOpensANewSite) {
  auto dialog = Open();
  EXPECT_EQ(dialog->windowTitle(), "Session properties");
  EXPECT_EQ(dialog->pgctrlSites->count(), 3);  // no predefined page
  EXPECT_EQ(dialog->pgctrlSites->currentWidget(), dialog->tabGeneral);
  EXPECT_FALSE(dialog->btnDelete->isEnabled());
  EXPECT_EQ(dialog->cmboSite->currentText(), "");
  EXPECT_EQ(dialog->CurrentSite(), "");
  EXPECT_EQ(dialog->editUser->text(), "");
  EXPECT_EQ(dialog->editPort->text(), "21");
  EXPECT_EQ(dialog->editLocalFolder[0]->text(), "/srv/default");
  EXPECT_FALSE(dialog->cbAnonymous->isChecked());
  const char* pages[] = {"general", "additional", "notes"};
  for (int i = 0; i < 3; ++i) {
    dialog->pgctrlSites->setCurrentIndex(i);
    SaveScreenshot(dialog.get(), std::string("manager-") + pages[i]);
  }
}

TEST_F(ManagerDialogTest, OKRefusesAnEmptyHostOrUser) {
  struct Case {
    const char* host;
    const char* user;
    const char* message;
  };
  const Case cases[] = {
      {"", "bob", "Host field cannot be empty"},
      {"", "", "Host field cannot be empty"},
      {"ftp.example", "", "UserID field cannot be empty"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    AskedPrompts().clear();
    auto dialog = Open();
    dialog->cmboSite->setEditText("named");
    dialog->editHost->setText(c.host);
    dialog->editUser->setText(c.user);
    dialog->btnOK->click();
    ASSERT_EQ(AskedPrompts().size(), 1u);
    EXPECT_EQ(AskedPrompts()[0].Text, c.message);
    EXPECT_EQ(AskedPrompts()[0].Caption, "Ferrowin");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_NE(dialog->result(), QDialog::Accepted);
    EXPECT_FALSE(TSiteFile(Path).SiteExists("named"));
  }
}

TEST_F(ManagerDialogTest, SiteSavedWithOKComesBackUnchanged) {
  const QString password = QString::fromUtf8("p\xC3\x85w \xC5\x82\xC8\x9B\xCF\x80");  // scramble to NUL, CR, LF
  const QString notes = "first line\nwith, a comma\n\n  \"quoted\" words \n,";
  {
    auto dialog = Open();
    QTest::keyClicks(dialog->cmboSite->lineEdit(), "My site");
    dialog->editHost->setText("ftp.example.org");
    dialog->editUser->setText("bob");
    dialog->editPassword->setText(password);
    dialog->editHostFolder->setText("/pub");
    dialog->editPort->setText("2121");
    dialog->editLocalFolder[2]->setText("/home/bob/site");
    dialog->cbFirewall->setChecked(false);
    dialog->cmboCharacterSet->setCurrentIndex(dialog->cmboCharacterSet->findText("ISO-8859-1"));
    dialog->cmboEncryption->setCurrentIndex(3);
    dialog->memoNotes->setPlainText(notes);
    dialog->btnOK->click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->memoNotes->toPlainText(), notes);
    TSite chosen = dialog->Site();
    EXPECT_EQ(chosen.Name, "My site");
    EXPECT_EQ(chosen.Port, 2121);
    EXPECT_EQ(chosen.CharacterSet, "ISO-8859-1");
  }
  auto dialog = Open();
  EXPECT_EQ(dialog->cmboSite->currentText(), "My site");
  EXPECT_TRUE(dialog->btnDelete->isEnabled());
  EXPECT_EQ(dialog->editHost->text(), "ftp.example.org");
  EXPECT_EQ(dialog->editUser->text(), "bob");
  EXPECT_EQ(dialog->editPassword->text(), password);
  EXPECT_EQ(dialog->editPassword->echoMode(), QLineEdit::Password);
  EXPECT_EQ(dialog->editHostFolder->text(), "/pub");
  EXPECT_EQ(dialog->PortText(), "2121");
  EXPECT_EQ(dialog->editLocalFolder[0]->text(), "/srv/default");
  EXPECT_EQ(dialog->editLocalFolder[2]->text(), "/home/bob/site");
  EXPECT_FALSE(dialog->cbFirewall->isChecked());
  EXPECT_EQ(dialog->cmboCharacterSet->currentText(), "ISO-8859-1");
  EXPECT_EQ(dialog->cmboEncryption->currentText(), "Use TLS if offered");
  EXPECT_EQ(dialog->memoNotes->toPlainText(), notes);
}

TEST_F(ManagerDialogTest, DeletingTheMiddleSiteRenumbers) {
  SaveThree();
  auto dialog = Open();
  EXPECT_EQ(Items(dialog->cmboSite), QStringList({"alpha", "Beta", "Gamma"}));
  EXPECT_EQ(dialog->CurrentSite(), "Beta");
  EXPECT_EQ(dialog->editHost->text(), "host-Beta");

  Answer = QMessageBox::No;
  dialog->btnDelete->click();
  ASSERT_EQ(AskedPrompts().size(), 1u);
  EXPECT_EQ(AskedPrompts()[0].Text, "Are you sure you want to delete the Beta site?");
  EXPECT_EQ(AskedPrompts()[0].Buttons, QMessageBox::Yes | QMessageBox::No);
  EXPECT_EQ(TSiteFile(Path).ReadNames().size(), 3u);

  Answer = QMessageBox::Yes;
  dialog->btnDelete->click();
  TIniFile ini(Path);
  EXPECT_EQ(ini.ReadString("Sites", "Site1", "?"), "alpha");
  EXPECT_EQ(ini.ReadString("Sites", "Site2", "?"), "Gamma");
  EXPECT_FALSE(ini.ValueExists("Sites", "Site3"));
  EXPECT_FALSE(ini.SectionExists("Beta"));
  EXPECT_EQ(Items(dialog->cmboSite), QStringList({"alpha", "Gamma"}));
  EXPECT_EQ(dialog->CurrentSite(), "alpha");
  EXPECT_EQ(dialog->editHost->text(), "host-alpha");

  dialog->btnDelete->click();
  dialog->btnDelete->click();
  EXPECT_TRUE(TSiteFile(Path).ReadNames().empty());
  EXPECT_FALSE(dialog->btnDelete->isEnabled());
  EXPECT_EQ(dialog->editPort->text(), "21");
  EXPECT_EQ(dialog->CurrentSite(), "");
}

TEST_F(ManagerDialogTest, DeleteActsOnlyOnASiteOfTheList) {
  SaveThree();
  auto dialog = Open();
  dialog->cmboSite->setEditText("not saved yet");
  dialog->btnDelete->click();
  EXPECT_TRUE(AskedPrompts().empty());
  EXPECT_EQ(TSiteFile(Path).ReadNames().size(), 3u);
}

TEST_F(ManagerDialogTest, TypingANameLoadsOnlyAnExistingSite) {
  SaveThree();
  auto dialog = Open();
  dialog->btnNew->click();
  dialog->editHost->setText("typed.example");
  dialog->editUser->setText("typed");
  QTest::keyClicks(dialog->cmboSite->lineEdit(), "Newcomer");
  EXPECT_EQ(dialog->CurrentSite(), "Newcomer");
  EXPECT_EQ(dialog->editHost->text(), "typed.example");
  EXPECT_EQ(dialog->editUser->text(), "typed");

  dialog->cmboSite->lineEdit()->clear();
  QTest::keyClicks(dialog->cmboSite->lineEdit(), "GAMMA");
  EXPECT_EQ(dialog->editHost->text(), "host-Gamma");
  // Saved under the listed name, not as a second site differing in case.
  dialog->editHost->setText("moved.example");
  dialog->btnApply->click();
  EXPECT_EQ(Items(dialog->cmboSite), QStringList({"alpha", "Beta", "Gamma"}));
  EXPECT_EQ(TSiteFile(Path).ReadSite("Gamma", "").Host, "moved.example");
  EXPECT_EQ(TIniFile(Path).ReadString("Sites", "LastSite", "?"), "Gamma");
}

TEST_F(ManagerDialogTest, ApplyAddsInAlphabeticalOrder) {
  SaveThree();
  auto dialog = Open();
  dialog->btnNew->click();
  QTest::keyClicks(dialog->cmboSite->lineEdit(), "beaver");
  dialog->editHost->setText("b.example");
  dialog->editPort->setText("");
  dialog->btnApply->click();
  EXPECT_EQ(TSiteFile(Path).ReadNames(), (std::vector<std::string>{"alpha", "beaver", "Beta", "Gamma"}));
  EXPECT_EQ(TSiteFile(Path).ReadSite("beaver", "").Port, 21);
  EXPECT_EQ(dialog->editPort->text(), "21");
  EXPECT_EQ(dialog->cmboSite->currentText(), "beaver");
  // The name field takes no "]", which no section name can hold.
  dialog->cmboSite->lineEdit()->clear();
  QTest::keyClicks(dialog->cmboSite->lineEdit(), "a]b");
  EXPECT_EQ(dialog->cmboSite->currentText(), "ab");
  // Nor the port field a letter.
  dialog->editPort->clear();
  QTest::keyClicks(dialog->editPort, "8x1");
  EXPECT_EQ(dialog->editPort->text(), "81");
}

TEST_F(ManagerDialogTest, AnonymousFillsAndMasks) {
  auto dialog = Open();
  dialog->editUser->setText("bob");
  dialog->editPassword->setText("secret");
  dialog->cbAnonymous->click();
  EXPECT_EQ(dialog->editUser->text(), "anonymous");
  EXPECT_EQ(dialog->editPassword->text(), "me@example.org");
  EXPECT_EQ(dialog->editPassword->echoMode(), QLineEdit::Normal);
  dialog->cbAnonymous->click();
  EXPECT_EQ(dialog->editUser->text(), "anonymous");
  EXPECT_EQ(dialog->editPassword->text(), "me@example.org");
  EXPECT_EQ(dialog->editPassword->echoMode(), QLineEdit::Password);

  // An anonymous OK gives an empty e-mail preference the password.
  Prefs.EMail.clear();
  dialog->cbAnonymous->click();
  dialog->editPassword->setText("given@example.org");
  dialog->editHost->setText("h");
  dialog->btnOK->click();
  EXPECT_EQ(Prefs.EMail, "given@example.org");
  EXPECT_FALSE(TSiteFile(Path).ReadNames().size());  // no name: nothing written

  // Only an anonymous password stands in for the e-mail address, never a real one.
  Prefs.EMail.clear();
  auto named = Open();
  named->editHost->setText("h");
  named->editUser->setText("bob");
  named->editPassword->setText("secret");
  named->btnOK->click();
  EXPECT_EQ(Prefs.EMail, "");
}

TEST_F(ManagerDialogTest, EveryFieldHasItsOwnPlace) { test::ExpectNoFieldOverlaps(Open().get(), "site manager"); }

TEST_F(ManagerDialogTest, PredefinedPageFillsTheSiteAndIsSavedWithOK) {
  std::filesystem::create_directories(DevFolder);
  TPredefinedSite dev{"Our server", "ftp.ours.example", false, "guest", "pw"};
  WritePredefinedSite(DevFolder, dev);
  QImage logo(48, 48, QImage::Format_RGB32);
  logo.fill(Qt::darkCyan);
  ASSERT_TRUE(logo.save(QString::fromStdString(DevFolder + "/logo.gif")) ||
              logo.save(QString::fromStdString(DevFolder + "/logo.gif"), "PNG"));

  {
    // Without sites the dialog opens on a new site of the General page.
    auto dialog = Open();
    ASSERT_EQ(dialog->pgctrlSites->count(), 4);
    EXPECT_EQ(dialog->pgctrlSites->currentWidget(), dialog->tabGeneral);
    EXPECT_EQ(dialog->CurrentSite(), "");
  }
  SaveThree();
  auto dialog = Open();
  EXPECT_EQ(dialog->pgctrlSites->tabText(0), "Our server");
  EXPECT_EQ(dialog->pgctrlSites->currentWidget(), dialog->tabPredefined);
  EXPECT_TRUE(dialog->editDevHost->isReadOnly());
  EXPECT_FALSE(dialog->imgLogo->pixmap().isNull());
  EXPECT_EQ(dialog->editDevPassword->echoMode(), QLineEdit::Password);
  EXPECT_EQ(dialog->CurrentSite(), "Our server");
  EXPECT_EQ(dialog->editHost->text(), "ftp.ours.example");
  EXPECT_EQ(dialog->editUser->text(), "guest");
  EXPECT_EQ(dialog->editPassword->text(), "pw");
  EXPECT_EQ(dialog->editLocalFolder[0]->text(), "/srv/default");
  SaveScreenshot(dialog.get(), "manager-predefined");

  dialog->editDevUser->clear();
  QTest::keyClicks(dialog->editDevUser, "visitor");
  dialog->editDevPassword->clear();
  dialog->editDevPassword->insert(QString::fromUtf8("p\xC5\x82ss"));  // scrambles to a NUL
  EXPECT_EQ(dialog->editUser->text(), "visitor");
  dialog->btnOK->click();
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  TSite saved = TSiteFile(Path).ReadSite("Our server", "");
  EXPECT_EQ(saved.Host, "ftp.ours.example");
  EXPECT_EQ(saved.User, "visitor");
  EXPECT_EQ(saved.Password, "p\xC5\x82ss");
  auto written = ReadPredefinedSite(DevFolder);
  ASSERT_TRUE(written.has_value());
  EXPECT_EQ(written->Caption + "|" + written->Host + "|" + written->User, "Our server|ftp.ours.example|visitor");
  EXPECT_EQ(written->Password, "p\xC5\x82ss");
  EXPECT_EQ(TSiteFile(Path).ReadLastSite(), "Our server");
}

TEST_F(ManagerDialogTest, BrowsePutsTheFolderInItsOwnField) {
  auto dialog = Open();
  dialog->editLocalFolder[0]->setText(QString::fromStdString(Home.Path));
  QString startedAt;
  QString title;
  SetDialogAnswerer([&](QDialog& d) {
    auto& browser = dynamic_cast<QFileDialog&>(d);
    title = browser.windowTitle();
    startedAt = browser.directory().absolutePath();
    browser.selectFile("/usr/share");
    return int(QDialog::Accepted);
  });
  dialog->btnBrowse[1]->click();
  EXPECT_EQ(title, "Select a directory");
  EXPECT_EQ(startedAt, QString::fromStdString(Home.Path));
  EXPECT_EQ(dialog->editLocalFolder[1]->text(), "/usr/share");
  EXPECT_EQ(dialog->editLocalFolder[2]->text(), "");
  int browsed = 0;
  SetDialogAnswerer([&](QDialog&) { return ++browsed, int(QDialog::Rejected); });
  dialog->btnBrowse[2]->click();
  EXPECT_EQ(dialog->editLocalFolder[2]->text(), "");
  QTest::keyClick(dialog->btnBrowse[2], Qt::Key_Return);  // Enter is the dialog's, not one more browse
  EXPECT_EQ(browsed, 1);
}

TEST_F(ManagerDialogTest, CallerLoadsASiteWithoutShowingTheDialog) {
  SaveThree();
  TfrmManager dialog(Prefs, TManagerContext{Path, DevFolder, {}});
  dialog.SetCurrentSite("gamma");
  dialog.LoadSite();
  TSite site = dialog.Site();
  EXPECT_EQ(site.Name, "Gamma");
  EXPECT_EQ(site.Host, "host-Gamma");
  EXPECT_EQ(site.User, "user-Gamma");
  EXPECT_EQ(site.Password, "pw");
  EXPECT_FALSE(site.Firewall);
}

class PasswordPromptTest : public ::testing::Test {
 protected:
  void TearDown() override { SetDialogAnswerer({}); }
};

TEST_F(PasswordPromptTest, AskedOnlyForAnEmptyPasswordWhenThePreferenceSaysSo) {
  struct Case {
    const char* what;
    std::string password;
    bool prompt;
    const char* typed;  // nullptr: Cancel
    bool asked;
    bool connects;
    std::string result;
  };
  const Case cases[] = {
      {"filled and accepted", "", true, "s3cret", true, true, "s3cret"},
      {"accepted empty", "", true, "", true, false, ""},
      {"cancelled", "", true, nullptr, true, false, ""},
      {"preference off", "", false, "x", false, false, ""},
      {"site has one", "kept", true, "x", false, true, "kept"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    bool asked = false;
    SetDialogAnswerer([&](QDialog& d) {
      asked = true;
      auto& prompt = dynamic_cast<TdlgPassword&>(d);
      EXPECT_EQ(prompt.windowTitle(), "Enter a password");
      EXPECT_EQ(prompt.lblPrompt->text(), "Specify a password to this session:");
      EXPECT_EQ(prompt.editPassword->echoMode(), QLineEdit::Password);
      EXPECT_TRUE(prompt.btnOK->isDefault());
      if (!c.typed) {
        prompt.btnCancel->click();
        return prompt.result();
      }
      prompt.show();
      QTest::keyClicks(prompt.editPassword, c.typed);
      if (*c.typed) SaveScreenshot(&prompt, "password-prompt");
      prompt.btnOK->click();
      return prompt.result();
    });
    std::string password = c.password;
    EXPECT_EQ(AskSessionPassword(password, c.prompt), c.connects);
    EXPECT_EQ(asked, c.asked);
    EXPECT_EQ(password, c.result);
  }
}

}  // namespace
}  // namespace ferrowin
