#pragma once
// TfrmCommandLineOptions: the usage window that "/?" shows instead of the main window.

#include <QDialog>

class QLabel;
class QPushButton;

namespace ferrowin {

class TfrmCommandLineOptions : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmCommandLineOptions(QWidget* parent = nullptr);
  QLabel* lblUsage = nullptr;
  QPushButton* btnOK = nullptr;
  QString UsageText;  // exactly as the program gives it
};

}  // namespace ferrowin
