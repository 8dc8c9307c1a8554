#include "PasswordForm.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include "Help.h"
#include "Prompts.h"

namespace ferrowin {

TdlgPassword::TdlgPassword(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Enter a password");
  SetHelpContext(this, PasswordHelpContext);
  auto* grid = new QGridLayout(this);
  imgIcon = new QLabel(this);
  int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
  imgIcon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion, nullptr, this).pixmap(size, size));
  imgIcon->setAlignment(Qt::AlignTop);
  lblPrompt = new QLabel("Specify a password to this session:", this);
  editPassword = new QLineEdit(this);
  editPassword->setEchoMode(QLineEdit::Password);
  lblPrompt->setBuddy(editPassword);
  lblUser = new QLabel("User name:", this);
  editUser = new QLineEdit(this);
  lblUser->setBuddy(editUser);
  cbSavePassword = new QCheckBox("Save password", this);
  grid->addWidget(imgIcon, 0, 0, 4, 1);
  grid->addWidget(lblUser, 0, 1);
  grid->addWidget(editUser, 1, 1);
  grid->addWidget(lblPrompt, 2, 1);
  grid->addWidget(editPassword, 3, 1);
  grid->addWidget(cbSavePassword, 4, 1);
  for (QWidget* w : {static_cast<QWidget*>(lblUser), static_cast<QWidget*>(editUser), static_cast<QWidget*>(cbSavePassword)})
    w->hide();

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  btnOK = new QPushButton("OK", this);
  btnOK->setDefault(true);
  btnCancel = new QPushButton("Cancel", this);
  buttons->addWidget(btnOK);
  buttons->addWidget(btnCancel);
  grid->addLayout(buttons, 5, 0, 1, 2);
  connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

  setMinimumWidth(320);
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect area = screen->availableGeometry();
    move(area.center() - QPoint(sizeHint().width() / 2, sizeHint().height() / 2));
  }
}

QString TdlgPassword::Password() const { return editPassword->text(); }

QString TdlgPassword::User() const { return editUser->text(); }

bool TdlgPassword::SavePassword() const { return !cbSavePassword->isHidden() && cbSavePassword->isChecked(); }

void TdlgPassword::AskAgain(const QString& user, bool canSave) {
  lblUser->show();
  editUser->show();
  editUser->setText(user);
  cbSavePassword->setChecked(false);
  cbSavePassword->setVisible(canSave);
  editPassword->setFocus();
}

bool AskSessionPassword(std::string& password, bool promptForPass, QWidget* parent) {
  if (password.empty() && promptForPass) {
    TdlgPassword dialog(parent);
    if (RunModal(dialog) == QDialog::Accepted) password = dialog.Password().toStdString();
  }
  return !password.empty();
}

}  // namespace ferrowin
