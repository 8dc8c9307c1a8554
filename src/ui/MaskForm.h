#pragma once
// "Mask": the mask of one folder view, typed or picked from the ready-made ones.

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

namespace ferrowin {

class TfrmMask : public QDialog {
  Q_OBJECT
 public:
  // host: the dialog serves the host view, else the local view.
  TfrmMask(bool host, const QString& mask, QWidget* parent = nullptr);

  // The box's text as left, untrimmed.
  [[nodiscard]] QString Mask() const;

  QLabel* lblPrompt = nullptr;
  QComboBox* cmboMask = nullptr;
  QPushButton* btnOK = nullptr;
  QPushButton* btnCancel = nullptr;

 private:
  void MaskPicked(int index);
};

}  // namespace ferrowin
