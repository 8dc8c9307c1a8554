#pragma once
// TfrmURL, "Connection to URL": the user types a URL or assembles it from its parts, and the
// caller connects to it (ftp) or downloads it (http). Every change of the URL is parsed at
// once and fills the fields; every change of a field or a type button builds the URL again.

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "FTPUtils.h"
#include "Manager.h"
#include "TlsSession.h"

class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace ferrowin {

enum class TURLType { FTP, FTPAnonymous, HTTP };

inline constexpr int URLHelpContext = 8;

// Puts url at the top of the recent list (moving it there when present) and keeps at most
// MaxRecentURLs entries.
void AddRecentURL(std::vector<std::string>& urls, const std::string& url);

// The site an ftp URL names: host, port, user, password and the folder to open.
[[nodiscard]] TSite SiteOfURL(const TURLParts& parts);

class TfrmURL : public QDialog {
 public:
  // recentURLs: the main window's list, shown in the combo and updated on OK.
  TfrmURL(std::vector<std::string>& recentURLs, QWidget* parent = nullptr);

  // Set by the caller before showing.
  std::string DefaultPassword;  // the e-mail preference
  std::string Account;          // always empty today; kept for the connection
  QString LocalFolder;          // where the save dialog of an http download opens
  std::function<void(int context)> OnHelp;  // "&Help"; empty = nothing

  // After OK.
  [[nodiscard]] TURLType Type() const;
  [[nodiscard]] bool Parsed() const { return ParseOK; }
  [[nodiscard]] const TURLParts& Parts() const { return URLParts; }
  [[nodiscard]] TEncryption Encryption() const;
  // What an ftp URL connects to: its parts with the chosen encryption.
  [[nodiscard]] TSite Site() const;
  [[nodiscard]] QString URL() const;
  // The file chosen for an http download; empty when the save dialog was cancelled.
  [[nodiscard]] const QString& SavePath() const { return SaveTo; }

  QComboBox* cmboURL = nullptr;
  QGroupBox* gbProperties = nullptr;
  QRadioButton* rbFTP = nullptr;
  QRadioButton* rbFTPAnonymous = nullptr;
  QRadioButton* rbHTTP = nullptr;
  QLineEdit* editUser = nullptr;
  QLineEdit* editPassword = nullptr;
  QLineEdit* editHost = nullptr;
  QLineEdit* editPort = nullptr;
  QLineEdit* editFolder = nullptr;
  QLineEdit* editFile = nullptr;
  QComboBox* cmboEncryption = nullptr;  // in TEncryption order
  QPushButton* btnOK = nullptr;
  QPushButton* btnCancel = nullptr;
  QPushButton* btnHelp = nullptr;

  // Handlers, public so tests drive them as the controls do.
  void cmboURLChange(bool fromRadio = false);
  void FieldChange(QLineEdit* field);
  void RadioClick();
  void cmboEncryptionChange();
  void btnOKClick();

 protected:
  void done(int result) override;

 private:
  QWidget* NewPropertiesGroup();
  QLineEdit* AddField(QGridLayout* grid, int row, int column, const char* caption, int maxLength);
  void CheckTypeFromText(const QString& url, bool emptyAnonymous);
  void EmptyAnonymousCredentials();
  QString AssembleURL();
  void FillFields();
  void AskSavePath();

  std::vector<std::string>& Recent;
  TURLParts URLParts;
  bool ParseOK = false;
  bool Updating = false;  // the re-entry guard: our own changes raise no assembling
  QString SaveTo;
};

}  // namespace ferrowin
