// The host view's other file operations: delete (folders inside out), rename, new folder,
// and the Stop and Disconnect commands.

#include <QApplication>

#include "Format.h"
#include "HostView.h"

namespace ferrowin {

bool THostView::DeleteSelected(bool confirm) {
  TListControl* list = ListView();
  if (list->SelCount() == 0) return false;
  if (confirm) {
    const int first = list->Selected();
    TTransferServices* services = TransferServices();
    if (!services || !services->ConfirmDelete(list->SelCount(), GetItemName(first), ItemIsFolder(first))) return true;
  }
  StopRequested = false;
  Visited.clear();
  Visited.insert(ServerPath(GetFolder()));
  DeleteTree(0);
  RebuildTree();
  Refresh();
  return true;
}

// True when every folder below could be walked (so the folders may be removed).
bool THostView::DeleteTree(int depth) {
  const std::vector<TSelected> selection = SelectionOf(*this);
  bool complete = true;
  for (int row : ListView()->SelectedItems()) {
    if (ItemIsFolder(row) && !ItemIsLink(row)) continue;
    // Files, and links to folders: the link goes, never what it points to.
    if (OnFileChanging) OnFileChanging(*this, ItemURL(row));
    Component->Delete(GetItemPath(row));
  }
  std::shared_ptr<bool> alive = Alive;
  const std::string parent = GetFolder();
  for (const TSelected& s : selection) {
    if (!s.Folder || s.Link) continue;
    if (!*alive || StopRequested) return false;
    if (Refused(s.Name, parent) || !EnterForWalk(parent + s.Name + Seperator(), depth)) {
      complete = false;
      ChangeFolderWait(parent);
      continue;
    }
    const std::string inner = FolderText;
    SelectAll();
    const bool emptied = DeleteTree(depth + 1);
    ChangeFolderWait(parent);
    if (!*alive) return false;
    if (!emptied) {
      AddLogLine(Format("%s was not removed: not everything in it could be deleted", inner), ErrorColor);
      complete = false;
      continue;
    }
    if (inner.size() <= 1) continue;
    QCoreApplication::processEvents();
    if (!*alive) return false;
    Changing = false;
    Component->SetCurrentFolder(ServerPath(GetFolder()));
    QCoreApplication::processEvents();
    if (!*alive) return false;
    Component->RemoveFolder(ServerPath(inner));
    QCoreApplication::processEvents();
    if (!*alive) return false;
  }
  return complete;
}

bool THostView::RenameByEditing(TItem item, const std::string& text) {
  if (text.empty() || text == ListView()->Caption(item).toStdString()) {
    QApplication::beep();
    return false;
  }
  if (OnFileChanging) OnFileChanging(*this, ItemURL(item));
  Component->Rename(GetItemPath(item), ServerPath(GetFolder()) + text);
  return false;  // the new caption comes with the listing
}

bool THostView::RenameEntry(const std::string& oldName, const std::string& newName) {
  Component->Rename(oldName, newName);
  Refresh();
  return true;
}

bool THostView::NewFolder(const std::string& name, bool) {
  Component->CreateFolder(name);
  Refresh();
  return true;
}

void THostView::Stop() {
  const bool running = Component->Busy();
  PendingFiles.clear();
  if (Gathering) StopRequested = true;
  if (BuildingList) {
    BuildingList = false;
  } else if (Transferring) {
    if (!TransferItems || !TransferItems->SkipBusy()) Component->Abort();
  } else {
    Component->Abort();
  }
  EndWaits(false);
  // With a command running, its aborted completion ends the busy state (a new change asked
  // for in between would be ended by it); with none, nothing more will come.
  if (!running && (Changing || !ListingFolder.empty())) EndBusy();
}

void THostView::Disconnect() {
  if (TransferItems) {
    StatusBar()->SetPanelText(1, QStringLiteral("Cancelling all pending files..."));
    TransferItems->CancelPending();
    TransferItems->SkipBusy();
  }
  Component->Logout();
}

}  // namespace ferrowin
