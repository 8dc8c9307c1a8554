#pragma once
// A minimal concrete view for testing what the base class does: its entries are names with
// sizes, and every operation the base calls is written down.

#include <string>
#include <vector>

#include "AllViews.h"

namespace ferrowin::test {

class TTestView : public TCustomView {
 public:
  struct TEntry {
    std::string Name;
    std::int64_t Size = 0;
    bool Folder = false;
  };
  explicit TTestView(QWidget* owner) : TCustomView(owner) { CreateControls(); }

  void Fill(std::vector<TEntry> entries) {
    Entries = std::move(entries);
    TListModel* items = ListView()->Items();
    items->Clear();
    for (auto& e : Entries) items->Add({QString::fromStdString(e.Name), &e, -1, 0, {}});
    InvalidateTotal();
  }
  std::vector<std::string> Calls;

  std::string GetMask() const override { return "*.*"; }
  bool TransferFrom(TCustomView& source) override {
    Calls.push_back("TransferFrom " + std::to_string(source.ListView()->SelCount()));
    return true;
  }
  bool OpenItem(TItem item) override { return Note("OpenItem " + GetItemName(item), ItemIsFolder(item)); }
  std::string GetItemName(TItem item) const override { return Entry(item) ? Entry(item)->Name : ""; }
  std::string GetItemPath(TItem item) const override { return "/" + GetItemName(item); }
  bool ItemIsFolder(TItem item) const override { return Entry(item) && Entry(item)->Folder; }
  bool ItemIsLink(TItem) const override { return false; }
  std::int64_t GetItemSize(TItem item) const override { return Entry(item) ? Entry(item)->Size : 0; }
  TDateTime GetItemDate(TItem) const override { return 0; }
  bool ChangeFolder(const std::string& path) override { return Note("ChangeFolder " + path); }
  bool ChangeFolderWait(const std::string& path) override { return ChangeFolder(path); }
  bool FolderUp() override { return Note("FolderUp"); }
  bool NewFolder(const std::string&, bool) override { return Note("NewFolder"); }
  bool DeleteSelected(bool confirm) override { return Note(confirm ? "Delete confirm" : "Delete at once"); }
  bool ShowProperties() override { return Note("ShowProperties"); }
  void CutSelected() override { Note("Cut"); }
  void CopySelected() override { Note("Copy"); }
  void PasteFiles() override { Note("Paste"); }
  void Refresh() override { Note("Refresh"); }
  void EntryArrived(TTransferItem*, const std::string&, TDateTime, std::int64_t, bool, const std::string&) override {}
  bool RenameEntry(const std::string&, const std::string&) override { return Note("Rename"); }

 protected:
  TListControl* CreateListView(QWidget* parent) override {
    auto* list = new TListControl(parent);
    list->Items()->SetColumns({{"Name", Qt::AlignLeft, 150}});
    ConnectListHandlers(list);
    return list;
  }

 private:
  const TEntry* Entry(TItem item) const {
    const TListModel* items = ListView()->Items();
    return item >= 0 && item < items->Count() ? static_cast<const TEntry*>(items->Item(item).Data) : nullptr;
  }
  bool Note(const std::string& call, bool result = true) {
    Calls.push_back(call);
    return result;
  }
  std::vector<TEntry> Entries;
};

}  // namespace ferrowin::test
