#include "Prompts.h"

#include <QAbstractButton>

namespace ferrowin {
namespace {

std::function<QMessageBox::StandardButton(const TPrompt&)>& PromptAnswerer() {
  static std::function<QMessageBox::StandardButton(const TPrompt&)> answerer;
  return answerer;
}

std::function<int(QDialog&)>& DialogAnswerer() {
  static std::function<int(QDialog&)> answerer;
  return answerer;
}

}  // namespace

std::vector<TPrompt>& AskedPrompts() {
  static std::vector<TPrompt> asked;
  return asked;
}

void SetPromptAnswerer(std::function<QMessageBox::StandardButton(const TPrompt&)> answerer) {
  PromptAnswerer() = std::move(answerer);
}

void SetDialogAnswerer(std::function<int(QDialog&)> answerer) { DialogAnswerer() = std::move(answerer); }

QMessageBox::StandardButton Ask(QWidget* parent, const TPrompt& prompt) {
  AskedPrompts().push_back(prompt);
  if (PromptAnswerer()) return PromptAnswerer()(prompt);
  QMessageBox box(prompt.Icon, prompt.Caption, prompt.Text, prompt.Buttons, parent);
  if (prompt.Default != QMessageBox::NoButton) box.setDefaultButton(prompt.Default);
  for (const auto& [button, text] : prompt.ButtonTexts)
    if (QAbstractButton* b = box.button(button)) b->setText(text);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

QMessageBox::StandardButton ShowMessage(QWidget* parent, const QString& text, QMessageBox::Icon icon) {
  TPrompt prompt;
  prompt.Text = text;
  prompt.Icon = icon;
  return Ask(parent, prompt);
}

bool AskYesNo(QWidget* parent, const QString& text, QMessageBox::Icon icon) {
  TPrompt prompt;
  prompt.Text = text;
  prompt.Icon = icon;
  prompt.Buttons = QMessageBox::Yes | QMessageBox::No;
  prompt.Default = QMessageBox::Yes;
  return Ask(parent, prompt) == QMessageBox::Yes;
}

int RunModal(QDialog& dialog) {
  if (DialogAnswerer()) return DialogAnswerer()(dialog);
  return dialog.exec();
}

}  // namespace ferrowin
