// The Connect to URL dialog driven as a user would: typing URLs, editing fields, choosing a
// type, OK and Cancel, the recent list and the save dialog of an http download.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "Prompts.h"
#include "Screenshots.h"
#include "URLForm.h"

namespace ferrowin {
namespace {

// The program's QApplication comes from the environment another file of this program registers.

constexpr const char* EMail = "me@example.net";

class URLFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Dialog = std::make_unique<TfrmURL>(Recent);
    Dialog->DefaultPassword = EMail;
    Dialog->show();
  }
  void TearDown() override { SetDialogAnswerer(nullptr); }
  void Type(const QString& url) {
    Dialog->cmboURL->lineEdit()->clear();
    QTest::keyClicks(Dialog->cmboURL->lineEdit(), url);
  }
  // The six fields, as one line for the tables.
  std::string Fields() const {
    const TfrmURL& d = *Dialog;
    return QStringList{d.editUser->text(), d.editPassword->text(), d.editHost->text(), d.editPort->text(),
                       d.editFolder->text(), d.editFile->text()}
        .join('|')
        .toStdString();
  }
  std::vector<std::string> Recent;
  std::unique_ptr<TfrmURL> Dialog;
};

TEST_F(URLFormTest, TypedURLsFillTheFieldsAndChooseTheType) {
  struct TCase {
    const char* URL;
    const char* Fields;  // user|password|host|port|folder|file
    QRadioButton* TfrmURL::*Checked;
  };
  const TCase cases[] = {
      {"files.example.org/pub/", "anonymous|me@example.net|files.example.org|21|/pub/|", &TfrmURL::rbFTP},
      {"ftp://example.org", "anonymous|me@example.net|example.org|21||", &TfrmURL::rbFTPAnonymous},
      {"ftp://example.org/", "anonymous|me@example.net|example.org|21|/|", &TfrmURL::rbFTPAnonymous},
      {"ftp://joe:pw@example.org:2121/a/b.txt", "joe|pw|example.org|2121|/a/|b.txt", &TfrmURL::rbFTP},
      {"ftp://joe:me@mail.example@example.org/", "joe|me@mail.example|example.org|21|/|", &TfrmURL::rbFTP},
      {"HTTP://www.example.org/index.html", "||www.example.org|80|/|index.html", &TfrmURL::rbHTTP},
  };
  for (const TCase& c : cases) {
    Dialog->rbFTP->setChecked(true);  // a bare host keeps the type it finds
    Type(c.URL);
    EXPECT_EQ(Fields(), c.Fields) << c.URL;
    EXPECT_TRUE((Dialog.get()->*c.Checked)->isChecked()) << c.URL;
    EXPECT_TRUE(Dialog->btnOK->isEnabled()) << c.URL;
    if (c.Checked == &TfrmURL::rbFTP && std::string(c.URL).find("2121") != std::string::npos)
      SaveScreenshot(Dialog.get(), "url-dialog-parsed");
  }
}

TEST_F(URLFormTest, OKNeedsAParsedHost) {
  EXPECT_FALSE(Dialog->btnOK->isEnabled());
  for (const char* text : {"ftp://", "ftp:///pub/", "ftp://joe:pw@"}) {
    Type(text);
    EXPECT_FALSE(Dialog->btnOK->isEnabled()) << text;
  }
  Type("ftp://h");
  EXPECT_TRUE(Dialog->btnOK->isEnabled());
}

TEST_F(URLFormTest, EditedFieldsBuildTheURL) {
  TfrmURL& d = *Dialog;
  const auto right = [](QWidget* w) { return w->mapTo(w->window(), w->rect().topRight()).x(); };
  EXPECT_EQ(right(d.editFolder), right(d.editPassword)) << "the folder takes the rest of its row, no more";
  d.editHost->setText("example.org/pub/");  // the path moves to the folder
  EXPECT_EQ(d.URL(), "ftp://example.org/pub/");
  EXPECT_EQ(d.editHost->text(), "example.org");
  EXPECT_EQ(d.editFolder->text(), "/pub/");
  EXPECT_TRUE(d.rbFTPAnonymous->isChecked());

  d.editUser->setText("joe");
  EXPECT_TRUE(d.rbFTP->isChecked());
  d.editPassword->setText("me@mail.example");
  EXPECT_EQ(d.URL(), "ftp://joe:me@mail.example@example.org/pub/");
  EXPECT_EQ(d.Parts().Password, "me@mail.example");

  d.editPort->setText("2121");
  d.editFile->setText("b.txt");
  EXPECT_EQ(d.URL(), "ftp://joe:me@mail.example@example.org:2121/pub/b.txt");
  d.editFolder->setText("//x/");
  EXPECT_EQ(d.URL(), "ftp://joe:me@mail.example@example.org:2121/x/b.txt");

  // The parse rewrites the edited field ("021" is port 21), the caret stays where it was.
  d.editPort->setText("21");
  d.editPort->setCursorPosition(0);
  QTest::keyClick(d.editPort, '0');
  EXPECT_EQ(d.editPort->text(), "21");
  EXPECT_EQ(d.editPort->cursorPosition(), 1);
}

TEST_F(URLFormTest, TypeButtonsSetTheCredentialsAndHTTPTakesPort80) {
  TfrmURL& d = *Dialog;
  QTest::mouseClick(d.rbHTTP, Qt::LeftButton);  // no host yet: nothing parses, the port still follows
  EXPECT_EQ(d.editPort->text(), "80");
  Type("ftp://joe:pw@example.org/x.html");
  QTest::mouseClick(d.rbFTPAnonymous, Qt::LeftButton);
  EXPECT_EQ(d.URL(), "ftp://example.org/x.html");
  EXPECT_EQ(Fields(), "anonymous|me@example.net|example.org|21|/|x.html");
  QTest::mouseClick(d.rbFTP, Qt::LeftButton);
  EXPECT_EQ(d.editUser->text(), "");
  EXPECT_EQ(d.editPassword->text(), "");

  // An anonymous user has no place in an http URL.
  Type("http://example.org/");
  d.editUser->setText("Anonymous");
  EXPECT_EQ(d.editUser->text(), "");
  EXPECT_EQ(d.URL(), "http://example.org/");

  Type("ftp://example.org/x.html");
  d.editUser->setText("joe");
  d.editPassword->clear();
  QTest::mouseClick(d.rbHTTP, Qt::LeftButton);
  EXPECT_EQ(d.editPort->text(), "80");
  EXPECT_EQ(d.URL(), "http://joe:@example.org/x.html");
  EXPECT_EQ(d.Parts().User, "");  // a type button drops the parsed credentials
  EXPECT_EQ(d.Type(), TURLType::HTTP);
}

// The encryption choice and the URL follow each other: ftps is implicit TLS on port 990.
TEST_F(URLFormTest, EncryptionFollowsTheSchemeAndTheSchemeTheChoice) {
  TfrmURL& d = *Dialog;
  struct TStep {
    const char* Typed;  // nullptr: choose Choice in the combo instead
    TEncryption Choice;
    const char* URL;
    const char* Port;
    TEncryption Shown;
  };
  const TStep steps[] = {
      {"ftps://joe:pw@example.org/pub/", {}, "ftps://joe:pw@example.org/pub/", "990", TEncryption::Implicit},
      {nullptr, TEncryption::Explicit, "ftp://joe:pw@example.org/pub/", "21", TEncryption::Explicit},
      {"ftp://example.org:2121/", {}, "ftp://example.org:2121/", "2121", TEncryption::Explicit},
      {nullptr, TEncryption::Implicit, "ftps://example.org:2121/", "2121", TEncryption::Implicit},
      {"ftp://example.org/", {}, "ftp://example.org/", "21", TEncryption::Plain},
      {nullptr, TEncryption::Implicit, "ftps://example.org/", "990", TEncryption::Implicit},
      {nullptr, TEncryption::Optional, "ftp://example.org/", "21", TEncryption::Optional},
  };
  for (const TStep& s : steps) {
    SCOPED_TRACE(s.Typed ? s.Typed : d.cmboEncryption->itemText(static_cast<int>(s.Choice)).toStdString());
    if (s.Typed) {
      Type(s.Typed);
    } else {
      d.cmboEncryption->setCurrentIndex(static_cast<int>(s.Choice));
      emit d.cmboEncryption->activated(static_cast<int>(s.Choice));
    }
    EXPECT_EQ(d.URL(), s.URL);
    EXPECT_EQ(d.editPort->text(), s.Port);
    EXPECT_EQ(d.Encryption(), s.Shown);
    EXPECT_EQ(d.Site().Encryption, static_cast<int>(s.Shown));
    EXPECT_EQ(d.Site().Port, d.editPort->text().toInt());
  }
  SaveScreenshot(Dialog.get(), "url-dialog-encryption");
  Type("http://example.org/");
  EXPECT_FALSE(d.cmboEncryption->isEnabled());
  Type("ftp://example.org/");
  EXPECT_TRUE(d.cmboEncryption->isEnabled());
}

TEST_F(URLFormTest, RecentURLsAreNewestFirstWithoutDuplicates) {
  std::vector<std::string> urls;
  for (int i = 0; i < 25; ++i) AddRecentURL(urls, "ftp://h" + std::to_string(i));
  ASSERT_EQ(urls.size(), 20u);
  EXPECT_EQ(urls.front(), "ftp://h24");
  EXPECT_EQ(urls.back(), "ftp://h5");
  AddRecentURL(urls, "ftp://h10");
  EXPECT_EQ(urls.size(), 20u);
  EXPECT_EQ(urls.front(), "ftp://h10");
  EXPECT_EQ(std::count(urls.begin(), urls.end(), "ftp://h10"), 1);

  // OK on a URL already in the combo's list moves it to the top; Cancel changes nothing.
  Recent = urls;
  Dialog = std::make_unique<TfrmURL>(Recent);
  ASSERT_EQ(Dialog->cmboURL->count(), 20);
  Dialog->cmboURL->setCurrentIndex(19);
  const std::string last = urls.back();
  Dialog->btnOK->click();
  EXPECT_EQ(Dialog->result(), QDialog::Accepted);
  ASSERT_EQ(Recent.size(), 20u);
  EXPECT_EQ(Recent.front(), last);
  EXPECT_EQ(std::count(Recent.begin(), Recent.end(), last), 1);

  Dialog = std::make_unique<TfrmURL>(Recent);
  Type("ftp://new.example.org:2121/");
  Dialog->btnCancel->click();
  EXPECT_EQ(Recent.front(), last);
  EXPECT_FALSE(Dialog->Parsed());
  EXPECT_EQ(Dialog->Parts().Port, 21u);
}

TEST_F(URLFormTest, HTTPAsksWhereToSaveProposingTheFileName) {
  Dialog->LocalFolder = "/tmp";
  Type("http://www.example.org/files/report.pdf");
  QString proposed;
  SetDialogAnswerer([&](QDialog& dialog) {
    auto& save = dynamic_cast<QFileDialog&>(dialog);
    EXPECT_EQ(save.acceptMode(), QFileDialog::AcceptSave);
    proposed = save.selectedFiles().value(0);
    save.selectFile("/tmp/saved.pdf");
    return int(QDialog::Accepted);
  });
  Dialog->btnOK->click();
  EXPECT_EQ(proposed, "/tmp/report.pdf");
  EXPECT_EQ(Dialog->SavePath(), "/tmp/saved.pdf");
  EXPECT_EQ(Dialog->Type(), TURLType::HTTP);
  EXPECT_EQ(Recent.front(), "http://www.example.org/files/report.pdf");
}

}  // namespace
}  // namespace ferrowin
