#pragma once
// "Comparaison Options": what Compare Folders may ignore. Made for one use, so the boxes
// always start as the defaults: sizes compared, dates ignored.

#include <QDialog>

class QCheckBox;
class QPushButton;

namespace ferrowin {

class TfrmCompareOptions : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmCompareOptions(QWidget* parent = nullptr);

  QCheckBox* cbIgnoreSize = nullptr;
  QCheckBox* cbIgnoreDate = nullptr;
  QPushButton* btnOK = nullptr;
  QPushButton* btnCancel = nullptr;
  QPushButton* btnHelp = nullptr;
};

}  // namespace ferrowin
