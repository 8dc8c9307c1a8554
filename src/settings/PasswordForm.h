#pragma once
// TdlgPassword, "Enter a password": asks for the password of a session whose site has none,
// and the step the connecting code runs before it opens a connection from a site.

#include <QDialog>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ferrowin {

class TdlgPassword : public QDialog {
 public:
  explicit TdlgPassword(QWidget* parent = nullptr);

  [[nodiscard]] QString Password() const;
  [[nodiscard]] QString User() const;
  // After the server refused a login: the user name shown (and editable) above the password,
  // and, for a site, "Save password" (off) to keep the new password in the site file.
  void AskAgain(const QString& user, bool canSave);
  [[nodiscard]] bool SavePassword() const;

  QLabel* imgIcon = nullptr;
  QLabel* lblPrompt = nullptr;
  QLineEdit* editPassword = nullptr;
  QLabel* lblUser = nullptr;
  QLineEdit* editUser = nullptr;
  QCheckBox* cbSavePassword = nullptr;
  QPushButton* btnOK = nullptr;
  QPushButton* btnCancel = nullptr;
};

// Before connecting from a site: when its password is empty and promptForPass is on, asks
// for one (through RunModal); OK sets password to what was entered, Cancel leaves it empty.
// Returns whether to connect: only with a password that is not empty.
[[nodiscard]] bool AskSessionPassword(std::string& password, bool promptForPass, QWidget* parent = nullptr);

}  // namespace ferrowin
