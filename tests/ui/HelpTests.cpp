// The help pages, the contexts the dialogs ask for, the help window, the About box and the
// message box a prompt shows when nobody answers it for the user.

#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QPushButton>
#include <QShortcut>
#include <QApplication>
#include <QTextBrowser>
#include <QTreeWidget>

#include "DataFolder.h"
#include "Help.h"
#include "Manager.h"
#include "OptionsDialog.h"
#include "Prompts.h"
#include "Screenshots.h"
#include "URLForm.h"

namespace ferrowin {
namespace {

// The program's QApplication comes from the environment another file of this program registers.

// Every context a Help button or F1 asks for has a section with a pop-up text, and the help
// window opens on its anchor.
TEST(Help, EveryDialogContextOpensItsSection) {
  const std::pair<int, const char*> contexts[] = {
      {URLHelpContext, "connecting.html"},    {OptionsHelpContext, "options.html"},
      {ManagerHelpContext, "connecting.html"}, {PasswordHelpContext, "connecting.html"},
      {PropertiesHelpContext, "files.html"},   {CompareHelpContext, "files.html"},
  };
  for (const auto& [context, file] : contexts) {
    const THelpPage* page = nullptr;
    const THelpSection* section = nullptr;
    ASSERT_TRUE(THelpIndex::Instance().Find(context, &page, &section)) << context;
    EXPECT_EQ(page->File, file) << context;
    EXPECT_FALSE(section->Popup.isEmpty()) << context;
    EXPECT_TRUE(ShowHelp(context));
    const QTextBrowser* browser = HelpWindow()->Browser();
    EXPECT_EQ(browser->source().fileName(), file);
    EXPECT_EQ(browser->source().fragment(), section->Anchor);
    EXPECT_TRUE(browser->document()->toPlainText().contains(section->Title)) << context;
    if (context == URLHelpContext) SaveScreenshot(HelpWindow(), "help-window-url");
  }
  EXPECT_FALSE(ShowHelp(9999));  // unknown: the contents
  EXPECT_EQ(HelpWindow()->Browser()->source().fileName(), "index.html");
  SaveScreenshot(HelpWindow(), "help-window");
  CloseHelpWindow();
  EXPECT_EQ(HelpWindow(), nullptr);
}

TEST(Help, ContentsHoldEveryPageTheIndexLinks) {
  const std::vector<THelpPage>& pages = THelpIndex::Instance().Pages();
  const QStringList files = QDir(DataFolder() + "help").entryList({"*.html"});
  EXPECT_EQ(pages.size(), static_cast<std::size_t>(files.size()));
  for (const THelpPage& page : pages) {
    EXPECT_FALSE(page.Title.isEmpty()) << page.File.toStdString();
    EXPECT_FALSE(page.Sections.empty()) << page.File.toStdString();
  }
  THelpWindow window;
  EXPECT_EQ(window.Contents()->topLevelItemCount(), files.size());
}

TEST(Help, WhatsThisTextAndF1FollowTheNearestContext) {
  std::vector<std::string> recent;
  TfrmURL dialog(recent);
  EXPECT_EQ(dialog.whatsThis(), HelpPopupText(URLHelpContext));
  EXPECT_FALSE(dialog.whatsThis().isEmpty());
  EXPECT_EQ(HelpContextOf(dialog.editHost), URLHelpContext);
  EXPECT_EQ(HelpContextOf(nullptr), 0);
  int asked = 0;
  dialog.OnHelp = [&](int context) { asked = context; };
  dialog.btnHelp->click();
  EXPECT_EQ(asked, URLHelpContext);
}

// A help window that is not the modal dialog's own would be blocked by it: it is made anew
// under the dialog.
TEST(Help, HelpAskedFromAModalDialogBelongsToIt) {
  ShowHelp(0);
  QDialog modal;
  modal.setModal(true);
  modal.show();
  ASSERT_EQ(QApplication::activeModalWidget(), &modal);
  EXPECT_TRUE(ShowHelp(OptionsHelpContext));
  ASSERT_NE(HelpWindow(), nullptr);
  EXPECT_EQ(HelpWindow()->parentWidget(), &modal);
  modal.hide();
  CloseHelpWindow();
}

TEST(Help, ContentsAndF1LeadToTheSections) {
  std::vector<std::string> recent;
  TfrmURL dialog(recent);
  QShortcut* f1 = dialog.findChild<QShortcut*>();
  ASSERT_NE(f1, nullptr);
  EXPECT_EQ(f1->key(), QKeySequence(Qt::Key_F1));
  emit f1->activated();
  ASSERT_NE(HelpWindow(), nullptr);
  EXPECT_EQ(HelpWindow()->Browser()->source().fragment(), "context-8");
  QPushButton* back = nullptr;
  for (QPushButton* b : HelpWindow()->findChildren<QPushButton*>())
    if (b->text() == "&Back") back = b;
  ASSERT_NE(back, nullptr);
  EXPECT_FALSE(back->isEnabled()) << "nothing to go back to yet";
  HelpWindow()->layout()->activate();
  EXPECT_LT(back->geometry().bottom(), HelpWindow()->Browser()->mapTo(HelpWindow(), QPoint()).y())
      << "the buttons sit above the page";

  // Each page's sections are its children in the contents; a click shows the section.
  QTreeWidget* contents = HelpWindow()->Contents();
  QTreeWidgetItem* connecting = nullptr;
  for (int i = 0; i < contents->topLevelItemCount(); ++i)
    if (contents->topLevelItem(i)->text(0) == "Connecting and the site manager") connecting = contents->topLevelItem(i);
  ASSERT_NE(connecting, nullptr);
  ASSERT_EQ(connecting->childCount(), 5);
  EXPECT_EQ(connecting->child(0)->text(0), "The site manager");
  emit contents->itemClicked(connecting->child(0), 0);
  EXPECT_EQ(HelpWindow()->Browser()->source().fragment(), "context-77");
  EXPECT_TRUE(back->isEnabled());
  emit contents->itemClicked(connecting, 0);
  EXPECT_EQ(HelpWindow()->Browser()->source().fragment(), "");
  CloseHelpWindow();
}

TEST(Help, AboutShowsTheVersionAndTheIcon) {
  bool shown = false;
  SetDialogAnswerer([&](QDialog& about) {
    shown = true;
    EXPECT_EQ(about.windowTitle(), "About Ferrowin");
    EXPECT_TRUE(about.findChild<QLabel*>("lblVersion")->text().contains("Version " FERROWIN_VERSION));
    EXPECT_FALSE(about.findChild<QLabel*>("imgIcon")->pixmap().isNull());
    about.show();
    SaveScreenshot(&about, "about");
    return int(QDialog::Accepted);
  });
  ShowAbout(nullptr);
  SetDialogAnswerer(nullptr);
  EXPECT_TRUE(shown);
}

TEST(Prompt, TheMessageBoxShowsTheButtonTextsAndTheDefault) {
  TPrompt prompt;
  prompt.Text = QStringLiteral("The file is there.");
  prompt.Buttons = QMessageBox::Yes | QMessageBox::No;
  prompt.Default = QMessageBox::No;
  prompt.ButtonTexts = {{QMessageBox::Yes, QStringLiteral("&Resume")}};
  QString yes, fallback;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    poll.stop();
    yes = box->button(QMessageBox::Yes)->text();
    fallback = box->defaultButton() ? box->defaultButton()->text() : QString();
    box->button(QMessageBox::Yes)->click();
  });
  poll.start(10);
  EXPECT_EQ(Ask(nullptr, prompt), QMessageBox::Yes);
  EXPECT_EQ(yes, "&Resume");
  EXPECT_EQ(fallback, "&No");
}

}  // namespace
}  // namespace ferrowin
