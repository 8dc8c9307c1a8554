#pragma once
// The three prompts of a transfer request: overwrite (Overwrt), resume (Restart) and the
// delete confirmation (Confirm). Each is made for one question and run through RunModal, so
// tests and batch runs answer it. Results are QMessageBox button codes; the close box gives
// Cancel.

#include <QDialog>
#include <QMessageBox>
#include <cstdint>
#include <string>
#include <vector>

#include "DateTime.h"

class QBoxLayout;
class QPushButton;

namespace ferrowin {

class TButtonDialog : public QDialog {
  Q_OBJECT
 public:
  struct TButton {
    QString Caption;
    QMessageBox::StandardButton Result;
  };
  [[nodiscard]] QPushButton* Button(const QString& caption) const;  // null when absent
  [[nodiscard]] std::vector<QString> Texts() const;                  // every label, in order
  [[nodiscard]] QMessageBox::StandardButton EscapeResult() const { return Escape; }
  // The answer: exec(), or the installed dialog answerer's.
  QMessageBox::StandardButton Ask();

 protected:
  TButtonDialog(QWidget* parent, const QString& caption);
  void AddText(const QString& text);
  void AddFileLine(const std::string& name, std::int64_t size, TDateTime date);
  void AddButtons(const std::vector<TButton>& buttons, QMessageBox::StandardButton defaultButton,
                  QMessageBox::StandardButton escape);
  void reject() override;
  void closeEvent(QCloseEvent* event) override;

 private:
  QBoxLayout* Body;
  std::vector<QPushButton*> Buttons;
  QMessageBox::StandardButton Escape = QMessageBox::Cancel;
};

class TfrmOverwrite : public TButtonDialog {
  Q_OBJECT
 public:
  TfrmOverwrite(const std::string& name, std::int64_t existingSize, TDateTime existingDate, std::int64_t newSize,
                TDateTime newDate, QWidget* parent = nullptr);
};

class TfrmRestart : public TButtonDialog {
  Q_OBJECT
 public:
  explicit TfrmRestart(const std::string& name, QWidget* parent = nullptr);
};

class TfrmConfirm : public TButtonDialog {
  Q_OBJECT
 public:
  TfrmConfirm(int count, const std::string& firstName, bool isFolder, QWidget* parent = nullptr);
};

}  // namespace ferrowin
