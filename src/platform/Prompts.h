#pragma once
// The one way the program asks the user something: every message box and every modal
// dialog goes through here, so tests (and batch runs) can answer without a screen.

#include <QDialog>
#include <QMessageBox>
#include <QString>
#include <functional>
#include <vector>

namespace ferrowin {

struct TPrompt {
  QString Caption = QStringLiteral("Ferrowin");
  QString Text;
  QMessageBox::Icon Icon = QMessageBox::Information;
  QMessageBox::StandardButtons Buttons = QMessageBox::Ok;
  QMessageBox::StandardButton Default = QMessageBox::NoButton;
  std::vector<std::pair<QMessageBox::StandardButton, QString>> ButtonTexts;  // other captions
};

// Shows a message box (or asks the installed answerer) and returns the button chosen.
QMessageBox::StandardButton Ask(QWidget* parent, const TPrompt& prompt);

// Convenience forms.
QMessageBox::StandardButton ShowMessage(QWidget* parent, const QString& text,
                                        QMessageBox::Icon icon = QMessageBox::Information);
bool AskYesNo(QWidget* parent, const QString& text, QMessageBox::Icon icon = QMessageBox::Question);

// Runs a modal dialog: exec(), or the installed dialog answerer (which may fill in its fields
// and returns QDialog::Accepted or Rejected).
int RunModal(QDialog& dialog);

// Test and batch hooks. While set, no window is shown: the answerers decide. Every prompt
// asked is also kept in AskedPrompts() until cleared.
void SetPromptAnswerer(std::function<QMessageBox::StandardButton(const TPrompt&)> answerer);
void SetDialogAnswerer(std::function<int(QDialog&)> answerer);
std::vector<TPrompt>& AskedPrompts();

}  // namespace ferrowin
