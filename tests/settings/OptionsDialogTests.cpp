#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QFileDialog>
#include <QHelpEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>

#include "FTPCompSettings.h"
#include "IniFile.h"
#include "LayoutCheck.h"
#include "OptionsDialog.h"
#include "OptionsWidgets.h"
#include "Prompts.h"
#include "Screenshots.h"
#include "SoundPlayer.h"
#include "QtEnvironment.h"
#include "TempHome.h"

namespace ferrowin {
namespace {

[[maybe_unused]] auto* const QtEnvironment = ::testing::AddGlobalTestEnvironment(new test::TQtEnvironment);

class OptionsDialogTest : public ::testing::Test {
 protected:
  test::TTempHome Home;
  std::string Path = Home.File("ferrowin.ini");
  TPreferences Prefs;

  std::unique_ptr<TfrmOptions> Open(std::function<void(bool)> apply = {}, std::function<bool()> pinned = {}) {
    LoadPreferences(Prefs, Path);
    auto dialog = std::make_unique<TfrmOptions>(Prefs, TOptionsContext{Path, std::move(apply), std::move(pinned), {}});
    dialog->show();
    return dialog;
  }
  std::string Stored(const char* section, const char* key) { return TIniFile(Path).ReadString(section, key, "?"); }
};

QLineEdit* TextOf(QSpinBox* spin) { return spin->findChild<QLineEdit*>(); }

TEST(RadioGroup, AnIndexOutsideTheItemsLeavesNoneChecked) {
  TRadioGroup group;
  group.SetItems({"a", "b"});
  for (int index : {1, 5}) group.SetItemIndex(index);
  EXPECT_EQ(group.ItemIndex(), -1);
}

TEST_F(OptionsDialogTest, EveryFieldHasItsOwnPlace) { test::ExpectNoFieldOverlaps(Open().get(), "options"); }

TEST_F(OptionsDialogTest, ValueChangedOnEachPageIsSavedOnOK) {
  test::WriteFile(Path, "[Firewall]\nEnabled=1\n");
  std::vector<bool> applied;
  auto dialog = Open([&](bool passive) { applied.push_back(passive); }, [] { return true; });
  EXPECT_EQ(dialog->windowTitle(), "General preferences");
  ASSERT_EQ(dialog->pgctrlOptions->count(), 7);
  const char* pages[] = {"general", "advanced", "connection", "conversions", "firewall", "sounds", "filetypes"};
  for (int i = 0; i < 7; ++i) {
    dialog->pgctrlOptions->setCurrentIndex(i);
    SaveScreenshot(dialog.get(), std::string("options-") + pages[i]);
  }
  dialog->editEMail->setText("someone@example.org");
  dialog->editLogFile->selectAll();
  QTest::keyClicks(dialog->editLogFile, "session.log");
  dialog->rgHostDblClk->Button(0)->click();
  dialog->cbUsePASV->setChecked(true);
  dialog->cbListHidden->setChecked(true);
  dialog->editTimeout->setValue(300);
  dialog->rbInfiniteRetry->click();
  dialog->cbMachineListings->setChecked(false);
  dialog->cmboCodePage->setCurrentIndex(dialog->cmboCodePage->findText("KOI8-R"));
  dialog->rgConversionCase->Button(2)->click();
  dialog->editFirewallHost->setText("gate.example");
  dialog->editFileType->setText("md");
  dialog->btnAddFileType->click();
  dialog->btnOK->click();

  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_EQ(Stored("General", "EMail"), "someone@example.org");
  EXPECT_EQ(Stored("General", "LogFile"), Home.Path + "/session.log");  // typed names go to the program's folder
  EXPECT_EQ(Stored("General", "PinTransferWindow"), "1");  // the progress window's pin was down
  EXPECT_EQ(Stored("Advanced", "HostDblClk"), "0");
  EXPECT_EQ(Stored("Connection", "UsePASV"), "1");
  EXPECT_EQ(Stored("Advanced", "ListHidden"), "1");
  EXPECT_EQ(Stored("Connection", "Timeout"), "300");
  EXPECT_EQ(Stored("Connection", "InfiniteRetry"), "1");
  EXPECT_EQ(Stored("Connection", "MachineListings"), "0");
  EXPECT_EQ(Stored("Connection", "CodePage"), "KOI8-R");
  EXPECT_FALSE(EngineSettings().MachineListings.load());
  EXPECT_EQ(Stored("Conversions", "ConversionCase"), "2");
  EXPECT_EQ(Stored("Firewall", "Host"), "gate.example");
  EXPECT_EQ(TIniFile(Path).ReadSectionValues("FileTypes").size(), 15u);
  EXPECT_TRUE(HasFileType(Prefs.FileTypes, ".md"));
  EXPECT_EQ(EngineSettings().TimeOut.load(), 300000u);
  EXPECT_EQ(EngineSettings().MaxAttempts.load(), 0);
  EXPECT_EQ(applied, std::vector<bool>{true});
}

TEST_F(OptionsDialogTest, StoredValuesSurviveOpeningAndClosing) {
  const std::string longEMail = std::string(300, 'e') + "@example.org";
  const char* ports[] = {"2121", "65535", "0"};
  for (const char* port : ports) {
    test::WriteFile(Path, std::string("[Firewall]\nPort=") + port + "\n[Connection]\nTimeout=3000\n[Advanced]\nTryToResume=7\n" +
                              "[General]\nEMail=" + longEMail + "\n");
    auto dialog = Open();
    dialog->btnOK->click();
    EXPECT_EQ(Stored("General", "EMail"), longEMail);
    EXPECT_EQ(Stored("Firewall", "Port"), port);
    EXPECT_EQ(Stored("Connection", "Timeout"), "3000");
    EXPECT_EQ(Stored("Advanced", "TryToResume"), "7");  // no radio button for it: kept
  }
}

TEST_F(OptionsDialogTest, TextThatIsNoNumberGivesTheDefaults) {
  test::WriteFile(Path, "[Connection]\nRetryDelay=9\nRetries=8\nTimeout=7\n[Firewall]\nPort=6\n");
  auto dialog = Open();
  for (QSpinBox* spin : {dialog->editRetryDelay, dialog->editRetries, dialog->editTimeout, dialog->editFirewallPort})
    TextOf(spin)->clear();
  dialog->editConversionChar->clear();
  dialog->btnOK->click();
  EXPECT_EQ(Prefs.RetryDelay, 5);
  EXPECT_EQ(Prefs.Retries, 3);
  EXPECT_EQ(Prefs.Timeout, 120);
  EXPECT_EQ(Prefs.FirewallPort, 21);
  EXPECT_EQ(Prefs.ConversionChar, "_");
}

TEST_F(OptionsDialogTest, CancelKeepsThePreferences) {
  auto dialog = Open();
  const TPreferences before = Prefs;
  dialog->editEMail->setText("changed@example.org");
  dialog->cbListHidden->setChecked(true);
  dialog->btnCancel->click();
  EXPECT_EQ(Prefs, before);
  EXPECT_FALSE(TIniFile(Path).SectionExists("General"));
}

TEST_F(OptionsDialogTest, ConversionsPreview) {
  auto dialog = Open();
  dialog->pgctrlOptions->setCurrentIndex(3);
  struct TCase {
    int Case;
    bool Short;
    int Spaces;
    const char* Char;
    const char* Original;
    const char* Converted;
  };
  const TCase cases[] = {
      {0, false, 0, "_", "Read the Instructions.txt", "Read the Instructions.txt"},
      {1, false, 1, "_", "Read the Instructions.txt", "readtheinstructions.txt"},
      {2, false, 2, "+", "Read the Instructions.txt", "READ+THE+INSTRUCTIONS.TXT"},
      {1, true, 0, "_", "READTH~1.TXT", "readth~1.txt"},
      {0, true, 2, "-", "READTH~1.TXT", "READTH-1.TXT"},
      {0, true, 2, "", "READTH~1.TXT", "READTH-1.TXT"},  // empty: unchanged
  };
  for (const TCase& c : cases) {
    dialog->rgConversionCase->Button(c.Case)->click();
    dialog->cbConversionUseShortName->setChecked(c.Short);
    dialog->rgConversionSpaces->Button(c.Spaces)->click();
    dialog->editConversionChar->setText(c.Char);
    EXPECT_EQ(dialog->editOriginal->text().toStdString(), c.Original);
    EXPECT_EQ(dialog->editConverted->text().toStdString(), c.Converted) << c.Converted;
    EXPECT_EQ(dialog->editConversionChar->isEnabled(), c.Spaces == 2);
    EXPECT_EQ(dialog->rgConversionSpaces->title(), c.Short ? " Tildes (~) " : " Spaces ");
  }
  SaveScreenshot(dialog.get(), "options-conversions-short");
}

TEST_F(OptionsDialogTest, FirewallPanelFollowsActivation) {
  auto dialog = Open();
  QWidget* controls[] = {dialog->rgFirewallType->Button(2), dialog->editFirewallHost, dialog->editFirewallPort,
                         dialog->editFirewallUser, dialog->editFirewallPassword};
  for (bool on : {true, false, true}) {
    dialog->cbFirewallEnabled->setChecked(on);
    for (QWidget* w : controls) EXPECT_EQ(w->isEnabled(), on);
    if (!on) {
      dialog->pgctrlOptions->setCurrentIndex(4);
      SaveScreenshot(dialog.get(), "options-firewall-off");
    }
  }
}

TEST_F(OptionsDialogTest, SoundChoicesTakeEffectAtOnce) {
  const std::string wav = Home.File("ding.wav");
  test::WriteFile(wav, "RIFF");
  auto dialog = Open();
  dialog->pgctrlOptions->setCurrentIndex(5);
  EXPECT_FALSE(dialog->grpSound->isEnabled());
  QTreeWidgetItem* endOfFile = dialog->tvSounds->topLevelItem(3);
  dialog->tvSounds->setCurrentItem(endOfFile);
  EXPECT_TRUE(dialog->grpSound->isEnabled());
  EXPECT_EQ(dialog->cmboSound->currentText(), "(None)");
  EXPECT_FALSE(dialog->btnStartSound->isEnabled());

  dialog->cmboSound->setEditText(QString::fromStdString(wav));
  EXPECT_EQ(Prefs.Sound(TSoundEvent::EndOfFile), wav);  // before OK
  EXPECT_TRUE(endOfFile->data(0, Qt::UserRole).toBool());
  EXPECT_TRUE(dialog->btnStartSound->isEnabled());
  EXPECT_GE(dialog->cmboSound->findText(QString::fromStdString(wav)), 1);
  SaveScreenshot(dialog.get(), "options-sounds-chosen");

  dialog->cmboSound->setEditText(QString::fromStdString(wav + ".missing"));
  EXPECT_EQ(Prefs.Sound(TSoundEvent::EndOfFile), wav);
  EXPECT_FALSE(dialog->btnStartSound->isEnabled());

  dialog->tvSounds->setCurrentItem(dialog->tvSounds->topLevelItem(0));
  EXPECT_EQ(dialog->cmboSound->currentText(), "(None)");
  dialog->tvSounds->setCurrentItem(endOfFile);
  EXPECT_EQ(dialog->cmboSound->currentText().toStdString(), wav);
  dialog->btnCancel->click();
  EXPECT_EQ(Prefs.Sound(TSoundEvent::EndOfFile), wav);  // Cancel keeps sound choices

  auto again = Open();
  again->tvSounds->setCurrentItem(again->tvSounds->topLevelItem(3));
  again->cmboSound->setCurrentIndex(0);
  EXPECT_EQ(Prefs.Sound(TSoundEvent::EndOfFile), "");
  EXPECT_FALSE(again->tvSounds->topLevelItem(3)->data(0, Qt::UserRole).toBool());
}

TEST_F(OptionsDialogTest, FileTypesPage) {
  auto dialog = Open();
  QListWidget* list = dialog->lbFileTypes;
  ASSERT_EQ(list->count(), 14);
  EXPECT_EQ(list->item(0)->text(), ".1st");
  EXPECT_EQ(list->item(13)->text(), ".txt");  // sorted
  EXPECT_FALSE(dialog->btnAddFileType->isEnabled());
  EXPECT_FALSE(dialog->btnRemoveFileType->isEnabled());

  dialog->editFileType->setText("TXT");  // .txt is there already, in any case
  dialog->btnAddFileType->click();
  EXPECT_EQ(list->count(), 14);
  EXPECT_TRUE(dialog->editFileType->text().isEmpty());
  EXPECT_FALSE(dialog->btnAddFileType->isEnabled());

  list->setCurrentRow(13);
  EXPECT_TRUE(dialog->btnRemoveFileType->isEnabled());
  dialog->btnRemoveFileType->click();
  EXPECT_EQ(list->count(), 13);
  dialog->editFileType->setText("TXT");
  dialog->btnAddFileType->click();
  dialog->editFileType->setText(".Bas");
  dialog->btnAddFileType->click();
  EXPECT_EQ(list->item(4)->text().toStdString(), ".Bas");  // after .asp, case ignored
  dialog->btnOK->click();
  EXPECT_TRUE(std::find(Prefs.FileTypes.begin(), Prefs.FileTypes.end(), ".TXT") != Prefs.FileTypes.end());
  TPreferences reloaded;
  LoadPreferences(reloaded, Path);
  EXPECT_EQ(reloaded.FileTypes, Prefs.FileTypes);
}

// Each path field's browse button: what is picked in the file dialog is what OK stores.
TEST_F(OptionsDialogTest, BrowseButtonsStoreThePickedPath) {
  const std::string viewer = Home.File("viewer.sh");
  test::WriteFile(viewer, "");
  const struct {
    QToolButton* TfrmOptions::*Button;
    const char* Key;
    std::string Picked;
  } cases[] = {
      {&TfrmOptions::btnBrowseViewer, "Viewer", viewer},
      {&TfrmOptions::btnBrowseLogFile, "LogFile", Home.File("picked.log")},
      {&TfrmOptions::btnBrowseDefaultDir, "DefaultDir", Home.Path},
  };
  for (const auto& c : cases) {
    auto dialog = Open();
    QToolButton* button = dialog.get()->*c.Button;
    ASSERT_NE(button, nullptr) << c.Key;
    EXPECT_EQ(button->text(), "...");
    SetDialogAnswerer([&](QDialog& d) {
      auto& browser = dynamic_cast<QFileDialog&>(d);
      if (browser.fileMode() == QFileDialog::Directory)
        browser.setDirectory(QString::fromStdString(c.Picked));
      else
        browser.selectFile(QString::fromStdString(c.Picked));
      return int(QDialog::Accepted);
    });
    button->click();
    SetDialogAnswerer({});
    dialog->btnOK->click();
    EXPECT_EQ(Stored("General", c.Key), c.Picked);
  }
}

// Without a sound device (as here) playing is silent and neither blocks nor fails.
TEST_F(OptionsDialogTest, SoundPlayerIsSilentWithoutDevice) {
  std::string wav = "RIFF";
  auto put32 = [&](std::uint32_t v) { for (int i = 0; i < 4; ++i) wav += static_cast<char>((v >> (8 * i)) & 0xFF); };
  auto put16 = [&](std::uint16_t v) { wav += static_cast<char>(v & 0xFF); wav += static_cast<char>(v >> 8); };
  const std::uint32_t samples = 800;
  put32(36 + samples * 2);
  wav += "WAVEfmt ";
  put32(16); put16(1); put16(1); put32(8000); put32(16000); put16(2); put16(16);
  wav += "data";
  put32(samples * 2);
  wav += std::string(samples * 2, '\0');
  const std::string path = Home.File("tone.wav");
  test::WriteFile(path, wav);
  TSoundPlayer player;
  for (const std::string& file : {path, Home.File("missing.wav"), std::string(), path}) player.Play(file);
  QDeadlineTimer deadline(10000);
  while (player.Loading() && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  EXPECT_FALSE(player.Loading());
  player.Stop();
  player.Stop();
}

// Counts the tool-tip events that reach it.
class TToolTipCounter : public QWidget {
 public:
  int Count = 0;

 protected:
  bool event(QEvent* e) override {
    if (e->type() == QEvent::ToolTip) ++Count;
    return QWidget::event(e);
  }
};

TEST_F(OptionsDialogTest, ToolTipsFollowThePreference) {
  TToolTipCounter widget;
  for (bool on : {false, true}) {
    TPreferences p;
    p.ShowToolTips = on;
    ApplyPreferences(p);
    QHelpEvent event(QEvent::ToolTip, QPoint(1, 1), QPoint(1, 1));
    widget.Count = 0;
    QApplication::sendEvent(&widget, &event);
    EXPECT_EQ(widget.Count, on ? 1 : 0);
  }
}

}  // namespace
}  // namespace ferrowin

namespace ferrowin {
namespace {

// Every browse button asks through the prompt service (a test or batch run answers it), and
// what it answers lands in the field.
TEST_F(OptionsDialogTest, BrowseButtonsAskThroughThePromptService) {
  auto dialog = Open();
  const std::string chosen = Home.File("chosen");
  std::vector<QString> titles;
  SetDialogAnswerer([&](QDialog& asked) {
    auto* files = dynamic_cast<QFileDialog*>(&asked);
    if (!files) return int(QDialog::Rejected);
    titles.push_back(files->windowTitle());
    files->selectFile(QString::fromStdString(chosen));
    return int(QDialog::Accepted);
  });
  struct {
    QToolButton* Button;
    std::function<QString()> Shown;
  } cases[] = {{dialog->btnBrowseViewer, [&] { return dialog->editViewer->text(); }},
               {dialog->btnBrowseLogFile, [&] { return dialog->editLogFile->text(); }},
               {dialog->btnBrowseDefaultDir, [&] { return dialog->editDefaultDir->text(); }},
               {dialog->btnBrowseSound, [&] { return dialog->cmboSound->currentText(); }}};
  dialog->tvSounds->setCurrentItem(dialog->tvSounds->topLevelItem(0));
  for (const auto& c : cases) {
    c.Button->click();
    EXPECT_TRUE(c.Shown().endsWith("chosen")) << c.Shown().toStdString();
  }
  SetDialogAnswerer(nullptr);
  EXPECT_EQ(titles.size(), 4u);
}

}  // namespace
}  // namespace ferrowin
