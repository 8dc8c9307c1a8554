#pragma once
// The site manager: the site file (Sites.ini), the optional predefined site (Dev/dev.ini) and
// the "Session properties" dialog, TfrmManager.
//
// The store (TSiteFile, TPredefinedSite and the value helpers) is plain C++, so the main
// window can read a recent site by name without the dialog, and tests can check the file.

#include <QDialog>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "IniFile.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace ferrowin {

struct TPreferences;

// ---- Values of the site file ------------------------------------------------------------

// XOR with 0xC5, byte by byte; the same call unscrambles.
[[nodiscard]] std::string PasswordScramble(std::string_view text);

// The Comments value: the notes lines behind one empty element, as a comma list in which an
// element holding a blank, a comma, a quote or a control byte is quoted (inner quotes
// doubled). Empty notes are written "".
[[nodiscard]] std::string NotesToComments(const std::vector<std::string>& lines);
[[nodiscard]] std::vector<std::string> CommentsToNotes(std::string_view value);

// Notes text <-> lines. Any line break (LF, CR LF, CR) ends a line; empty text has no lines.
[[nodiscard]] std::vector<std::string> SplitNotes(std::string_view text);
[[nodiscard]] std::string JoinNotes(const std::vector<std::string>& lines);

// A scrambled password goes to the file byte for byte, but a line cannot hold CR, LF or NUL.
// When the scrambled form has one of them it is also written in hex under key + "Hex"; the
// reader takes that copy only while it agrees with the plain key, so a file saved since by
// an older version (which rewrites only the plain key) is read as that version wrote it.
[[nodiscard]] std::string ReadScrambled(const TIniFile& ini, std::string_view section, std::string_view key);
void WriteScrambled(TIniFile& ini, std::string_view section, std::string_view key, std::string_view clear);

// ---- The site file ----------------------------------------------------------------------

inline constexpr int DefaultPort = 21;
inline constexpr std::string_view AnonymousUser = "anonymous";

struct TSite {
  std::string Name;
  std::string Host;
  bool Anonymous = false;
  std::string User{AnonymousUser};
  std::string Password;  // in clear
  std::string HostFolder;
  int Port = DefaultPort;
  bool Firewall = true;
  std::string CharacterSet;  // of names on a server without UTF-8; "" = Auto
  int Encryption = 0;  // TEncryption: plain, explicit TLS required, implicit TLS, TLS if offered
  std::array<std::string, 3> LocalFolders;
  std::vector<std::string> Notes;
  bool operator==(const TSite&) const = default;
};

class TSiteFile {
 public:
  explicit TSiteFile(std::string fileName);

  [[nodiscard]] const std::string& FileName() const { return FIni.FileName(); }
  [[nodiscard]] TIniFile& Ini() { return FIni; }

  // The names of [Sites] (Site1 ... ), in file order, without empty names or repeats.
  [[nodiscard]] std::vector<std::string> ReadNames() const;
  // LastSite; "!" (no site) when absent.
  [[nodiscard]] std::string ReadLastSite() const;

  // A site's fields; a missing section gives the defaults. An anonymous site's stored user
  // and password are not read: the user is "anonymous" and the password anonymousPassword
  // (the e-mail preference), as the dialog shows them.
  [[nodiscard]] TSite ReadSite(std::string_view name, std::string_view anonymousPassword) const;
  [[nodiscard]] bool SiteExists(std::string_view name) const;

  // Site1 ... SiteN from names, then LastSite; numbered keys beyond N are removed.
  bool WriteNames(const std::vector<std::string>& names, std::string_view lastSite);
  // Every field of the site's section. False when the file could not be written.
  bool WriteSite(const TSite& site);
  // Erases the site's section and writes the remaining names without a gap.
  bool DeleteSite(std::string_view name, const std::vector<std::string>& remaining);

 private:
  TIniFile FIni;
};

// Case-insensitive, as site sections are.
[[nodiscard]] bool SameSiteName(std::string_view a, std::string_view b);

// ---- The predefined site ----------------------------------------------------------------

struct TPredefinedSite {
  std::string Caption;  // N: the page's caption and the site's name
  std::string Host;     // H
  bool Anonymous = false;
  std::string User;      // I
  std::string Password;  // P, in clear
};

// The folder of dev.ini and logo.gif: ProgramFilesFolder() + "Dev/".
[[nodiscard]] std::string DefaultPredefinedFolder();
// Reads folder/dev.ini; nothing when the file does not exist.
[[nodiscard]] std::optional<TPredefinedSite> ReadPredefinedSite(const std::string& folder);
bool WritePredefinedSite(const std::string& folder, const TPredefinedSite& site);

// ---- The dialog -------------------------------------------------------------------------

inline constexpr int ManagerHelpContext = 77;

struct TManagerContext {
  std::string SitesFile;         // empty: DefaultSitesFile()
  std::string PredefinedFolder;  // empty: DefaultPredefinedFolder()
  std::function<void(int context)> OnHelp;  // "&Help"; empty = nothing
};

// "Session properties". Created for one use: construct, RunModal, read Site() after OK.
// The site file is opened on construction; the e-mail preference (anonymous password) and
// DefaultDir come from prefs, and OK may set the e-mail preference.
class TfrmManager : public QDialog {
 public:
  TfrmManager(TPreferences& prefs, TManagerContext context, QWidget* parent = nullptr);
  ~TfrmManager() override;

  // What the caller reads after OK: the fields of the dialog as a site (Name is the current
  // site name, empty for an unsaved new site).
  [[nodiscard]] TSite Site() const;
  [[nodiscard]] QString PortText() const;
  [[nodiscard]] const QString& CurrentSite() const { return FCurrentSite; }
  // For the caller that connects to a named site without showing the dialog.
  void SetCurrentSite(const QString& name);
  void LoadSite();

  QTabWidget* pgctrlSites = nullptr;
  QPushButton* btnOK = nullptr;
  QPushButton* btnCancel = nullptr;
  QPushButton* btnHelp = nullptr;

  // Predefined page (only while dev.ini exists)
  QWidget* tabPredefined = nullptr;
  QLineEdit* editDevHost = nullptr;
  QLineEdit* editDevUser = nullptr;
  QLineEdit* editDevPassword = nullptr;
  QCheckBox* cbDevAnonymous = nullptr;
  QLabel* imgLogo = nullptr;

  // General
  QWidget* tabGeneral = nullptr;
  QComboBox* cmboSite = nullptr;
  QLineEdit* editHost = nullptr;
  QLineEdit* editUser = nullptr;
  QLineEdit* editPassword = nullptr;
  QCheckBox* cbAnonymous = nullptr;
  QPushButton* btnNew = nullptr;
  QPushButton* btnDelete = nullptr;
  QPushButton* btnApply = nullptr;

  // Additional
  QWidget* tabAdditional = nullptr;
  QLineEdit* editHostFolder = nullptr;
  QLineEdit* editPort = nullptr;
  std::array<QLineEdit*, 3> editLocalFolder{};
  std::array<QPushButton*, 3> btnBrowse{};
  QCheckBox* cbFirewall = nullptr;
  QComboBox* cmboCharacterSet = nullptr;
  QComboBox* cmboEncryption = nullptr;  // in TEncryption order

  // Notes
  QWidget* tabNotes = nullptr;
  QPlainTextEdit* memoNotes = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QWidget* NewPredefinedPage();
  QWidget* NewGeneralPage();
  QWidget* NewAdditionalPage();
  QWidget* NewNotesPage();

  void FillPredefinedPage();
  void ClearFields();
  void ShowSite(const TSite& site);
  void SelectSite(const QString& name);
  [[nodiscard]] bool PredefinedActive() const;
  void CopyPredefined();
  void SaveSite();

  void cmboSiteActivated(int index);
  void cmboSiteEdited(const QString& text);
  void cbAnonymousClick();
  void cbDevAnonymousClick();
  void btnNewClick();
  void btnDeleteClick();
  void btnApplyClick();
  void btnOKClick();
  void btnBrowseClick(int index);
  void pgctrlSitesChange();

  TPreferences& FPrefs;
  TManagerContext FContext;
  TSiteFile FSites;
  std::optional<TPredefinedSite> FPredefined;
  QString FCurrentSite;
  bool FOpened = false;
  bool FUpdating = false;  // set while fields change under program control
};

}  // namespace ferrowin
