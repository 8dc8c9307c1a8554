// TfrmOptions: the frame of the dialog, opening, and closing with OK.
#include "OptionsDialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "OptionsWidgets.h"
#include "SoundPlayer.h"

namespace ferrowin {

TfrmOptions::TfrmOptions(TPreferences& prefs, TOptionsContext context, QWidget* parent)
    : QDialog(parent), FPrefs(prefs), FContext(std::move(context)), FPlayer(std::make_unique<TSoundPlayer>()) {
  setWindowTitle("General preferences");
  auto* layout = new QVBoxLayout(this);
  pgctrlOptions = new QTabWidget(this);
  pgctrlOptions->addTab(NewGeneralPage(), "General");
  pgctrlOptions->addTab(NewAdvancedPage(), "Advanced");
  pgctrlOptions->addTab(NewConnectionPage(), "Connection");
  pgctrlOptions->addTab(NewConversionsPage(), "Conversions");
  pgctrlOptions->addTab(NewFirewallPage(), "Firewall");
  pgctrlOptions->addTab(NewSoundsPage(), "Sounds");
  pgctrlOptions->addTab(NewFileTypesPage(), "File Types");
  layout->addWidget(pgctrlOptions);

  const TDialogButtons buttons = AddDialogButtons(this, layout, [this] { btnOKClick(); }, [this] {
    if (FContext.OnHelp) FContext.OnHelp(OptionsHelpContext);
  });
  btnOK = buttons.OK;
  btnCancel = buttons.Cancel;
  btnHelp = buttons.Help;

  LoadGeneral();
  LoadConnection();
  LoadConversionsAndFirewall();
  LoadSounds();
  LoadFileTypes();
}

TfrmOptions::~TfrmOptions() = default;

void TfrmOptions::showEvent(QShowEvent* event) {
  pgctrlOptions->setCurrentIndex(0);
  QDialog::showEvent(event);
}

void TfrmOptions::btnOKClick() {
  if (editConversionChar->text().isEmpty()) editConversionChar->setText("_");
  SaveGeneral();
  SaveConnection();
  SaveConversionsAndFirewall();
  FPrefs.FileTypes.clear();
  for (int i = 0; i < lbFileTypes->count(); ++i) FPrefs.FileTypes.push_back(lbFileTypes->item(i)->text().toStdString());
  if (FContext.TransferWindowPinned && FContext.TransferWindowPinned()) FPrefs.PinTransferWindow = true;
  if (!FContext.SettingsFile.empty()) {
    SavePreferences(FPrefs, FContext.SettingsFile, FContext.ApplyToComponents);
  } else {
    ApplyPreferences(FPrefs, FContext.ApplyToComponents);
  }
  accept();
}

}  // namespace ferrowin
