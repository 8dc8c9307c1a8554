// The prompts' common dialog and the overwrite prompt.

#include <QBoxLayout>
#include <QCloseEvent>
#include <QDateTime>
#include <QLabel>
#include <QLocale>
#include <QPushButton>

#include "Format.h"
#include "Prompts.h"
#include "Shell.h"
#include "TransferPrompts.h"

namespace ferrowin {

TButtonDialog::TButtonDialog(QWidget* parent, const QString& caption) : QDialog(parent) {
  setWindowTitle(caption);
  Body = new QVBoxLayout(this);
  Body->setSizeConstraint(QLayout::SetFixedSize);  // a fixed-size dialog
}

void TButtonDialog::AddText(const QString& text) {
  auto* label = new QLabel(text, this);
  label->setWordWrap(true);
  label->setMaximumWidth(420);
  Body->addWidget(label);
}

void TButtonDialog::AddFileLine(const std::string& name, std::int64_t size, TDateTime date) {
  auto* row = new QHBoxLayout;
  auto* icon = new QLabel(this);
  TShellImages& images = TShellImages::Instance();
  icon->setPixmap(images.Icon(images.FileIconIndex(QString::fromStdString(name))).pixmap(32, 32));
  row->addWidget(icon);
  const TDateTimeParts d = DecodeDateTime(date);
  const QString when = QLocale().toString(QDate(d.Year, d.Month, d.Day), QLocale::ShortFormat);
  auto* text = new QLabel(QString::fromStdString(Format("%d %s", size, "Bytes")) + QStringLiteral("\n") +
                              QStringLiteral("modified on ") + when,
                          this);
  row->addWidget(text, 1);
  Body->addLayout(row);
}

void TButtonDialog::AddButtons(const std::vector<TButton>& buttons, QMessageBox::StandardButton defaultButton,
                               QMessageBox::StandardButton escape) {
  Escape = escape;
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  for (const TButton& b : buttons) {
    auto* button = new QPushButton(b.Caption, this);
    button->setAutoDefault(false);
    button->setDefault(b.Result == defaultButton);
    const QMessageBox::StandardButton result = b.Result;
    connect(button, &QPushButton::clicked, this, [this, result] { done(result); });
    row->addWidget(button);
    Buttons.push_back(button);
  }
  Body->addLayout(row);
}

QPushButton* TButtonDialog::Button(const QString& caption) const {
  for (QPushButton* b : Buttons)
    if (b->text() == caption) return b;
  return nullptr;
}

std::vector<QString> TButtonDialog::Texts() const {
  std::vector<QString> texts;
  for (const QLabel* label : findChildren<QLabel*>())
    if (!label->text().isEmpty()) texts.push_back(label->text());
  return texts;
}

QMessageBox::StandardButton TButtonDialog::Ask() {
  const int result = RunModal(*this);
  return result == QDialog::Rejected ? QMessageBox::Cancel : static_cast<QMessageBox::StandardButton>(result);
}

void TButtonDialog::reject() { done(Escape); }  // Escape presses the cancel button

void TButtonDialog::closeEvent(QCloseEvent* event) {
  event->accept();
  done(QMessageBox::Cancel);
}

TfrmOverwrite::TfrmOverwrite(const std::string& name, std::int64_t existingSize, TDateTime existingDate,
                             std::int64_t newSize, TDateTime newDate, QWidget* parent)
    : TButtonDialog(parent, QStringLiteral("Confirm File Overwrite")) {
  AddText(QString::fromStdString(Format("This folder already contains a file called '%s.'", name)));
  AddText(QStringLiteral("Would you like to replace the existing file"));
  AddFileLine(name, existingSize, existingDate);
  AddText(QStringLiteral("with this one?"));
  AddFileLine(name, newSize, newDate);
  AddButtons({{QStringLiteral("&Yes"), QMessageBox::Yes},
              {QStringLiteral("&No"), QMessageBox::No},
              {QStringLiteral("Yes to &All"), QMessageBox::YesToAll},
              {QStringLiteral("No to A&ll"), QMessageBox::NoToAll},
              {QStringLiteral("&Recovery"), QMessageBox::Retry}},
             QMessageBox::No, QMessageBox::No);
  // Recovery resumes: only a shorter existing file can be continued.
  Button(QStringLiteral("&Recovery"))->setEnabled(existingSize < newSize);
}

}  // namespace ferrowin
