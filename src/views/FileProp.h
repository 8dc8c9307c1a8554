#pragma once
// TfrmProperties: name, type, location, size and date of the remote entries selected in a
// host view, and their nine permission bits. TdlgLocalProperties: the same facts of a local
// file or folder, as the desktop's own properties would show them.

#include <QDialog>
#include <cstdint>
#include <string>

class QCheckBox;
class QFileInfo;
class QLabel;
class QPushButton;
class QTabWidget;
class QWidget;

namespace ferrowin {

class TImageList;
class TListControl;

// "1KB (1025 Bytes)": the size truncated to whole KB or MB, then the byte count without
// thousands separators.
[[nodiscard]] std::string PropertiesSizeText(std::uint64_t size);

class TfrmProperties : public QDialog {
 public:
  explicit TfrmProperties(QWidget* parent = nullptr);

  // Set by the caller before showing.
  const TImageList* Images = nullptr;  // the list's large icons
  std::string Location;                // the shown folder's server path, with its separator
  TListControl* List = nullptr;        // whose selection is shown; rows carry TListingEntry
  bool EditPermissions = false;

  // After OK: the permission bits (2..10 as in a listing entry's attributes) and whether a
  // box was clicked. Both are 0 / false unless the user changed a box.
  [[nodiscard]] std::uint16_t Permissions() const { return PermissionSet; }
  [[nodiscard]] bool PermissionsChanged() const { return Changed; }

  QTabWidget* pgctrlProperties = nullptr;
  QWidget* tbshtGeneral = nullptr;
  QLabel* imgIcon = nullptr;
  QLabel* lblFileName = nullptr;
  QLabel* lblType = nullptr;
  QLabel* lblLocation = nullptr;
  QLabel* lblSize = nullptr;
  QLabel* lblDate = nullptr;
  QLabel* lblAttributes = nullptr;
  QLabel* lblOwner = nullptr;
  QLabel* lblGroup = nullptr;
  QLabel* lblEveryone = nullptr;
  QCheckBox* cbOwnerRead = nullptr;
  QCheckBox* cbOwnerWrite = nullptr;
  QCheckBox* cbOwnerExecute = nullptr;
  QCheckBox* cbGroupRead = nullptr;
  QCheckBox* cbGroupWrite = nullptr;
  QCheckBox* cbGroupExecute = nullptr;
  QCheckBox* cbAllRead = nullptr;
  QCheckBox* cbAllWrite = nullptr;
  QCheckBox* cbAllExecute = nullptr;
  QPushButton* btnOK = nullptr;
  QPushButton* btnCancel = nullptr;

  void FormShow();
  void cbOwnerReadClick();
  void btnOKClick();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QWidget* NewGeneralPage();
  void ShowOne(int item);
  void ShowSeveral(int item);
  [[nodiscard]] QCheckBox* Box(int bit) const;  // bit 2..10
  std::uint16_t PermissionSet = 0;
  bool Changed = false;
  bool Setting = false;  // the boxes are being set by the dialog itself
};

// The properties of a local file or folder, read when made.
class TdlgLocalProperties : public QDialog {
 public:
  explicit TdlgLocalProperties(const QFileInfo& info, QWidget* parent = nullptr);
  QLabel* lblFileName = nullptr;
  QLabel* lblType = nullptr;
  QLabel* lblLocation = nullptr;
  QLabel* lblSize = nullptr;
  QLabel* lblDate = nullptr;
  QLabel* lblPermissions = nullptr;
};

// "rwxr-xr-x" for the permission bits of a local file.
[[nodiscard]] QString PermissionText(const QFileInfo& info);

}  // namespace ferrowin
