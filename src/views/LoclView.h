#pragma once
// The local side: a folder of this computer, shown through the desktop's file model, which
// watches the folder and notices new files by itself.

#include <memory>

#include "AllViews.h"

class QFileIconProvider;
class QFileInfo;
class QFileSystemModel;

namespace ferrowin {

class TLocalView : public TCustomView {
  Q_OBJECT
 public:
  explicit TLocalView(QWidget* owner);
  ~TLocalView() override;

  [[nodiscard]] QFileSystemModel* ShellList() const { return Files; }

  std::string GetMask() const override;
  void SetMask(const std::string& mask) override;
  bool TransferFrom(TCustomView& source) override;
  bool OpenItem(TItem item) override;
  std::string GetItemName(TItem item) const override;
  std::string GetItemPath(TItem item) const override;
  bool ItemIsFolder(TItem item) const override;
  bool ItemIsLink(TItem item) const override;
  std::int64_t GetItemSize(TItem item) const override;
  TDateTime GetItemDate(TItem item) const override;
  bool ChangeFolder(const std::string& path) override;
  bool ChangeFolderWait(const std::string& path) override;
  bool FolderUp() override;
  bool NewFolder(const std::string& name, bool startRename) override;
  bool DeleteSelected(bool confirm) override;
  bool ShowProperties() override;
  void CutSelected() override;
  void CopySelected() override;
  void PasteFiles() override;
  void Refresh() override;
  void EntryArrived(TTransferItem* item, const std::string& folder, TDateTime date, std::int64_t size,
                    bool isFolder, const std::string& name) override;
  bool RenameEntry(const std::string& oldName, const std::string& newName) override;

  // The desktop's default name for a new folder, numbered when taken.
  static QString NewFolderName(const QString& folder);

 protected:
  TListControl* CreateListView(QWidget* parent) override;

 private:
  void FolderChanged();
  [[nodiscard]] QStringList SelectedPaths() const;
  std::unique_ptr<QFileIconProvider> Icons;  // the model does not own it
  QFileSystemModel* Files = nullptr;
  int SortColumn = 0;
  Qt::SortOrder SortOrder = Qt::AscendingOrder;
};

// A modification time without its seconds: remote listings only have minutes.
[[nodiscard]] TDateTime ToMinute(const QDateTime& time);

}  // namespace ferrowin
