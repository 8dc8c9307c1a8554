// The host view's navigation and its cache of folder listings.

#include <QApplication>
#include <QTimer>
#include <algorithm>

#include "HostView.h"
#include "Format.h"
#include "Options.h"

namespace ferrowin {

bool TCaseLess::operator()(const std::string& a, const std::string& b) const {
  return QString::compare(QString::fromStdString(a), QString::fromStdString(b), Qt::CaseInsensitive) < 0;
}

bool SameText(const std::string& a, const std::string& b) {
  return QString::compare(QString::fromStdString(a), QString::fromStdString(b), Qt::CaseInsensitive) == 0;
}

std::string THostView::WithSeperator(std::string path) const {
  if (path.empty() || path.back() != Seperator()) path += Seperator();
  return path;
}

bool THostView::IsCached(const std::string& path) const { return FolderCache.count(WithSeperator(path)) > 0; }

const THostView::TListing* THostView::CachedListing(const std::string& path) const {
  auto it = FolderCache.find(WithSeperator(path));
  return it == FolderCache.end() ? nullptr : it->second.get();
}

bool THostView::HasListing(const std::string& path) const { return CachedListing(path) != nullptr; }

std::vector<std::string> THostView::KnownFolders() const {
  std::vector<std::string> folders;
  for (const auto& [path, node] : Known) folders.push_back(path);
  return folders;
}

std::string THostView::ServerPath(const std::string& path) const {
  std::string p = WithSeperator(path);
  if (Prefix.empty() || p.find(":[") != std::string::npos) return p;
  auto trimmed = [this](char c) { return c == Seperator() || static_cast<unsigned char>(c) <= ' '; };
  std::size_t begin = 0, end = p.size();
  while (begin < end && trimmed(p[begin])) ++begin;
  while (end > begin && trimmed(p[end - 1])) --end;
  return Prefix + p.substr(begin, end - begin) + Suffix;
}

bool THostView::ChangeFolder(const std::string& path) {
  // A fill in progress runs messages; a second one inside it would mix two folders.
  if (!Connected() || Changing || BuildingList) {
    RebuildTree();
    return false;
  }
  const std::string p = WithSeperator(path);
  auto it = FolderCache.find(p);
  const bool listed = it != FolderCache.end() && it->second;
  if (!listed && Transferring) {
    RebuildTree();
    return false;
  }
  if (OnFileChanging && p != GetFolder()) OnFileChanging(*this, p);  // not for a redisplay
  if (!listed) {
    // A listing is of the server's current folder: any other folder is changed into first.
    if (it == FolderCache.end() || !SameText(p, ServerFolder)) {
      // Entered into the cache once the server confirms it.
      ClearItems();
      RaiseState(hsBusy);
      Changing = true;
      ChangingTo = p;
      Component->SetCurrentFolder(ServerPath(p));
    } else {
      ListFolder(p);
      RebuildTree();
    }
    return true;
  }
  std::shared_ptr<bool> alive = Alive;
  ShowCachedListing(p, it->second);
  if (!*alive) return false;  // the view went among the messages the filling let run
  SelectReceivedFiles();
  RebuildTree();
  return true;
}

void THostView::ListFolder(const std::string& path) {
  RaiseState(hsBusy);
  ListingFolder = path;
  Component->List(path, Prefs && Prefs->ListHidden && !PlainList ? "-latr" : "");
}

// A refused listing: once more without the option when the server refused it, else the
// folder stays shown without entries, with the reason in red.
void THostView::ListFailed() {
  const std::string folder = ListingFolder;
  ListingFolder.clear();
  if (Prefs && Prefs->ListHidden && !PlainList && LastReplyCode >= 500 && LastReplyCode < 600) {
    PlainList = true;
    AddLogLine("The server refused the listing option; listing without it", InfoColor);
    return ListFolder(folder);
  }
  AddLogLine(Format("Could not list the folder %s", folder), ErrorColor);
  EndWaitsFor(folder, false);
  if (SameText(folder, FolderText)) ShowEmptyFolder();
  else EndBusy();
}

void THostView::ClearItems() {
  ListView()->Items()->Clear();
  Shown.clear();
}

void THostView::ShowCachedListing(const std::string& path, std::shared_ptr<TListing> listing) {
  DoUpdates = false;
  FolderText = path;
  SetTotals(0, 0);
  // Restored however the filling ends, the view's destruction among the messages included.
  struct TWaitCursor {
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
  } cursor;
  TListModel* items = ListView()->Items();
  items->BeginUpdate();
  ClearItems();
  BuildingList = true;
  StatusBar()->SetPanelText(1, QString::fromStdString(Format("%d %s", listing->size(), "Entries")));
  // A copy of the record list: messages run below may change or drop the cached one.
  const TListing records = *listing;
  Shown.reserve(records.size());
  std::shared_ptr<bool> alive = Alive;
  for (std::size_t i = records.size(); i-- > 0;) {
    TListingEntry& record = *records[i];
    TListItem item = BuildItem(record);
    const bool folder = record.Attributes & faDirectory;
    if (folder || MatchesMask(item.Caption, FilterMasks)) {
      if (folder) Known.try_emplace(FolderText + item.Caption.toStdString() + Seperator(), nullptr);
      items->Add(std::move(item));
      Shown.push_back(records[i]);
    }
    if (i % MessageInterval == 0) {
      QCoreApplication::processEvents();
      if (!*alive) return;
      if (!BuildingList) break;
    }
  }
  BuildingList = false;
  SortItems();
  items->EndUpdate();
  RaiseState(hsReady);
  DoUpdates = true;
  InvalidateTotal();
  UpdateStatus();
}

void THostView::SelectReceivedFiles() {
  if (!ReceiveMasks) return;
  const QStringList masks = *ReceiveMasks;
  ReceiveMasks.reset();
  TListControl* list = ListView();
  int selected = 0;
  bool folder = false;
  for (int row = 0; row < list->ItemCount(); ++row) {
    if (!MatchesMask(list->Caption(row), masks)) continue;
    list->SetSelected(row, true);
    ++selected;
    folder = folder || ItemIsFolder(row);
  }
  if (selected == 0) return;
  if (!folder) return StartReceiving();
  // Lets this folder change finish before a recursive download starts changing folders.
  delete SelectTimer.data();
  SelectTimer = new QTimer(this);
  SelectTimer->setSingleShot(true);
  QTimer* timer = SelectTimer;
  connect(timer, &QTimer::timeout, this, [this, timer] {
    if (timer != SelectTimer) return;
    SelectTimer->deleteLater();
    SelectTimer = nullptr;
    StartReceiving();
  });
  timer->start(100);
}

void THostView::StartReceiving() {
  TCustomView* destination = nullptr;
  if (OnTransfer) OnTransfer(*this, destination);
  if (destination) TransferTo(destination);
}

void THostView::FTPFolderReply(const std::string& folder, TFolderReplyType type, bool result) {
  switch (type) {
    case TFolderReplyType::Changed:
      if (!Changing) return;
      FolderReplySeen = true;
      if (result) return Component->GetCurrentFolder();
      EndWaitsFor(ChangingTo, false);
      if (!HasListing(FolderText)) return Component->GetCurrentFolder();
      Changing = false;
      ChangeFolder(FolderText);  // the previous folder again
      return;
    case TFolderReplyType::CurrentFolder:
      if (!Changing) return;
      if (!result || folder.empty()) {
        // No folder to show under: the one shown before stays.
        EndWaitsFor(ChangingTo, false);
        return EndBusy();
      }
      Changing = false;
      ReportCurrentFolder(folder);
      return;
    case TFolderReplyType::Removed:
      if (result) DropFromCache(folder);
      return;
    case TFolderReplyType::Created:
      return;
  }
}

void THostView::ReportCurrentFolder(const std::string& folder) {
  const std::size_t bracket = folder.find(":[");
  if (bracket == std::string::npos) {
    Prefix.clear();
    Suffix.clear();
    const bool slash = folder.find('/') != std::string::npos || folder.find('\\') == std::string::npos;
    SetSeperator(slash ? '/' : '\\');
    SetFolder(folder);
  } else {
    // DISK$USER:[JOHN.WORK] is kept as .JOHN.WORK. and sent with its device and brackets.
    Prefix = folder.substr(0, bracket + 2);
    Suffix = "]";
    SetSeperator('.');
    std::string inner = folder.substr(bracket + 2);
    if (!inner.empty()) inner.pop_back();
    SetFolder("." + inner);
  }
  ServerFolder = FolderText;
  // The server put us elsewhere than asked (or the change was refused).
  if (!SameText(FolderText, ChangingTo)) EndWaitsFor(ChangingTo, false);
  FolderCache.try_emplace(FolderText, nullptr);
  ChangeFolder(FolderText);
}

void THostView::DropFromCache(std::string folder) {
  folder = WithSeperator(std::move(folder));
  FolderCache.erase(folder);
  if (Known.erase(folder) > 0) RebuildTree();
}

void THostView::DropCache() {
  BuildingList = false;
  FolderCache.clear();
  Known.clear();
  if (Tree && ListView() && ListView()->isVisible()) Tree->Clear();
}

bool THostView::FolderUp() {
  // The shown name changes only with what is shown: a refused change keeps both.
  std::string parent = GetFolder();
  if (parent.size() >= 2) {
    const std::size_t previous = parent.rfind(parent.back(), parent.size() - 2);
    if (previous != std::string::npos) parent.resize(previous + 1);
  }
  return ChangeFolder(parent);
}

void THostView::Refresh() {
  DropFromCache(FolderText);
  ChangeFolder(FolderText);
}

void THostView::EntryArrived(TTransferItem*, const std::string& folder, TDateTime date, std::int64_t size,
                             bool isFolder, const std::string& name) {
  if (name.empty()) return;
  const std::string path = WithSeperator(folder);
  auto it = FolderCache.find(path);
  if (it == FolderCache.end() || !it->second) return;
  TListing& listing = *it->second;
  std::erase_if(listing, [&](const TRecord& r) { return SameText(r->Name, name); });
  auto record = std::make_shared<TListingEntry>();
  record->Name = name;
  record->Attributes = isFolder ? faDirectory : 0;
  record->Size = size;
  record->Date = date;
  listing.push_back(std::move(record));
  if (path == FolderText || isFolder) ChangeFolder(path);
}

void THostView::FTPRenameSuccessful(const std::string& oldPath, const std::string& newPath) {
  auto split = [this](const std::string& path) {
    const std::size_t cut = path.find_last_of("/\\");
    if (cut == std::string::npos) return std::pair{FolderText, path};
    std::string folder = path.substr(0, cut + 1);
    std::replace_if(folder.begin(), folder.end(), [](char c) { return c == '/' || c == '\\'; }, Seperator());
    return std::pair{folder, path.substr(cut + 1)};
  };
  const auto [oldFolder, oldName] = split(oldPath);
  const auto [newFolder, newName] = split(newPath);
  auto from = FolderCache.find(oldFolder);
  if (from == FolderCache.end() || !from->second) return;
  TListing& oldListing = *from->second;
  auto found = std::find_if(oldListing.begin(), oldListing.end(), [&](const TRecord& r) { return SameText(r->Name, oldName); });
  if (found == oldListing.end()) return;
  TRecord record = *found;
  oldListing.erase(found);
  if (record->Attributes & faDirectory) {
    const std::string oldPrefix = oldFolder + oldName + Seperator();
    const std::string newPrefix = newFolder + newName + Seperator();
    auto rewrite = [&](auto& map) {
      std::remove_reference_t<decltype(map)> renamed;
      for (auto& [key, value] : map)
        renamed.emplace(key.rfind(oldPrefix, 0) == 0 ? newPrefix + key.substr(oldPrefix.size()) : key, value);
      map = std::move(renamed);
    };
    rewrite(FolderCache);
    rewrite(Known);
    RebuildTree();
  }
  auto to = FolderCache.find(newFolder);
  if (to == FolderCache.end() || !to->second) {
    if (newFolder == GetFolder()) ChangeFolder(FolderText);
    return;
  }
  TListing& newListing = *to->second;
  if (std::any_of(newListing.begin(), newListing.end(), [&](const TRecord& r) { return SameText(r->Name, newName); })) {
    DropFromCache(newFolder);  // listed again when next shown
    return;
  }
  auto renamed = std::make_shared<TListingEntry>(*record);
  renamed->Name = newName;
  newListing.push_back(std::move(renamed));
  if (newFolder == GetFolder()) ChangeFolder(FolderText);
}

}  // namespace ferrowin
