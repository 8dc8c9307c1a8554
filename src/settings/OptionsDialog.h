#pragma once
// TfrmOptions, "General preferences": edits the preference set on seven pages. OK copies the
// controls into the preferences, saves and applies them; Cancel leaves them as they were,
// except sound choices, which take effect as soon as they are made.

#include <QDialog>
#include <functional>
#include <memory>
#include <string>

#include "Options.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace ferrowin {

class TRadioGroup;
class TSoundPlayer;

struct TOptionsContext {
  std::string SettingsFile;                           // where OK saves
  std::function<void(bool usePassive)> ApplyToComponents;  // empty = no components
  std::function<bool()> TransferWindowPinned;         // empty = no progress window
  std::function<void(int context)> OnHelp;            // "&Help"; empty = nothing
};

inline constexpr int OptionsHelpContext = 76;

class TfrmOptions : public QDialog {
 public:
  TfrmOptions(TPreferences& prefs, TOptionsContext context, QWidget* parent = nullptr);
  ~TfrmOptions() override;

  // The full paths behind the viewer and log fields, which show file names only.
  [[nodiscard]] const QString& ViewerPath() const { return FViewerPath; }
  [[nodiscard]] const QString& LogPath() const { return FLogPath; }

  QTabWidget* pgctrlOptions = nullptr;
  QPushButton* btnOK = nullptr;
  QPushButton* btnCancel = nullptr;
  QPushButton* btnHelp = nullptr;

  // General
  QLineEdit* editEMail = nullptr;
  QLineEdit* editViewer = nullptr;
  QToolButton* btnBrowseViewer = nullptr;
  QLineEdit* editLogFile = nullptr;
  QToolButton* btnBrowseLogFile = nullptr;
  QCheckBox* cbLogToFile = nullptr;
  QCheckBox* cbShowToolTips = nullptr;
  QLineEdit* editDefaultDir = nullptr;
  QToolButton* btnBrowseDefaultDir = nullptr;

  // Advanced
  QCheckBox* cbNoXferOlder = nullptr;
  QCheckBox* cbASCIIOnView = nullptr;
  QCheckBox* cbPreserveTimeStamp = nullptr;
  QCheckBox* cbConfirmOverwrites = nullptr;
  QCheckBox* cbConfirmRestarts = nullptr;
  QCheckBox* cbListHidden = nullptr;
  TRadioGroup* rgTryToResume = nullptr;
  TRadioGroup* rgLocalDblClk = nullptr;
  TRadioGroup* rgHostDblClk = nullptr;

  // Connection
  QCheckBox* cbShowManager = nullptr;
  QCheckBox* cbPromptForPass = nullptr;
  QCheckBox* cbPing = nullptr;
  QCheckBox* cbUsePASV = nullptr;
  QCheckBox* cbQuickDisconnect = nullptr;
  QSpinBox* editRetryDelay = nullptr;
  QGroupBox* grpReconnect = nullptr;
  QRadioButton* rbRetries = nullptr;  // beside editRetries "times"
  QSpinBox* editRetries = nullptr;
  QRadioButton* rbInfiniteRetry = nullptr;
  QSpinBox* editTimeout = nullptr;
  TRadioGroup* rgTransferMode = nullptr;
  QCheckBox* cbSingleConnectionsOnly = nullptr;
  QCheckBox* cbMachineListings = nullptr;
  QComboBox* cmboCodePage = nullptr;

  // Conversions
  TRadioGroup* rgConversionCase = nullptr;
  QCheckBox* cbConversionUseShortName = nullptr;
  TRadioGroup* rgConversionSpaces = nullptr;
  QLineEdit* editConversionChar = nullptr;
  QLineEdit* editOriginal = nullptr;
  QLineEdit* editConverted = nullptr;

  // Firewall
  QCheckBox* cbFirewallEnabled = nullptr;
  QWidget* pnlFirewall = nullptr;
  TRadioGroup* rgFirewallType = nullptr;
  QLineEdit* editFirewallHost = nullptr;
  QSpinBox* editFirewallPort = nullptr;
  QLineEdit* editFirewallUser = nullptr;
  QLineEdit* editFirewallPassword = nullptr;

  // Sounds (an event's item holds true in Qt::UserRole while it has a sound)
  QTreeWidget* tvSounds = nullptr;
  QGroupBox* grpSound = nullptr;
  QComboBox* cmboSound = nullptr;
  QToolButton* btnBrowseSound = nullptr;
  QToolButton* btnStartSound = nullptr;
  QToolButton* btnStopSound = nullptr;

  // File Types
  QListWidget* lbFileTypes = nullptr;
  QLineEdit* editFileType = nullptr;
  QPushButton* btnAddFileType = nullptr;
  QPushButton* btnRemoveFileType = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QWidget* NewGeneralPage();
  QWidget* NewAdvancedPage();
  QWidget* NewConnectionPage();
  QWidget* NewConversionsPage();
  QWidget* NewFirewallPage();
  QWidget* NewSoundsPage();
  QWidget* NewFileTypesPage();

  void LoadGeneral();
  void LoadConnection();
  void LoadConversionsAndFirewall();
  void LoadSounds();
  void LoadFileTypes();
  void SaveGeneral();
  void SaveConnection();
  void SaveConversionsAndFirewall();

  void editLogFileEdited(const QString& text);
  void editViewerEdited(const QString& text);
  void btnBrowseViewerClick();
  void btnBrowseLogFileClick();
  void btnBrowseDefaultDirClick();
  void UpdatePreview();
  void cbFirewallEnabledClick();
  void tvSoundsChange();
  void cmboSoundChange(const QString& text);
  void btnBrowseSoundClick();
  void UpdateSoundIcon(QTreeWidgetItem* item);
  void btnAddFileTypeClick();
  void btnRemoveFileTypeClick();
  void btnOKClick();

  TPreferences& FPrefs;
  TOptionsContext FContext;
  QString FViewerPath;
  QString FLogPath;
  std::unique_ptr<TSoundPlayer> FPlayer;
};

}  // namespace ferrowin
