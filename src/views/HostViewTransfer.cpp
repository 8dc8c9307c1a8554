// The host view's transfers: uploads and downloads of the selection through the tab's queue
// (recursive over folders), downloads for a reason over the browsing connection, and the
// browsing connection's progress.

#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QStandardPaths>
#include <QTabWidget>

#include "AutomationHooks.h"
#include "Format.h"
#include "HostView.h"
#include "NameConversion.h"
#include "Options.h"

namespace ferrowin {

namespace {
std::string LastComponent(const std::string& path, char seperator) {
  std::string p = path;
  while (!p.empty() && p.back() == seperator) p.pop_back();
  return p.substr(p.find_last_of(seperator) + 1);
}
}  // namespace

std::vector<THostView::TSelected> THostView::SelectionOf(const TCustomView& view) {
  // Read at once: the waits of a walk let the list change under us.
  std::vector<TSelected> out;
  for (int row : view.ListView()->SelectedItems())
    out.push_back({view.GetItemName(row), view.GetItemPath(row), view.GetItemSize(row), view.GetItemDate(row),
                   view.ItemIsFolder(row), view.ItemIsLink(row)});
  return out;
}

std::string THostView::TabCaption() const {
  for (QWidget* w = Sheet(); w; w = w->parentWidget()) {
    auto* tabs = qobject_cast<QTabWidget*>(w);
    if (tabs && tabs->indexOf(Sheet()) >= 0) return tabs->tabText(tabs->indexOf(Sheet())).toStdString();
  }
  return Component->Host();
}

bool THostView::EnsureQueue() {
  if (!TransferItems && TransferServices()) TransferItems = TransferServices()->CreateQueue(*this, TabCaption());
  return TransferItems != nullptr;
}

TTransferEntry THostView::ConnectionEntry() const {
  TTransferEntry e;
  e.Host = Component->Host();
  e.Port = static_cast<std::uint32_t>(Component->Port);
  e.UserID = Component->User;
  e.Password = Component->Password;
  e.Account = Component->Account;
  e.UseFirewall = UseFirewall;
  e.CharacterSet = Component->CharacterSet();
  e.Encryption = Component->Encryption;
  return e;
}

std::int64_t THostView::DecideEntry(TCustomView& dest, bool sameFolder, const std::string& name, std::int64_t size,
                                    TDateTime date) {
  TExistingEntry e;
  e.Name = name;
  e.SourceSize = size;
  e.SourceDate = date;
  e.CanResume = Component->CanResume();
  TListControl* list = dest.ListView();
  for (int row = 0; sameFolder && row < list->ItemCount(); ++row) {
    const std::string caption = list->Caption(row).toStdString();
    if (!SameText(caption, name)) continue;
    e.Exists = caption == name;
    e.DestSize = dest.GetItemSize(row);
    e.DestDate = dest.GetItemDate(row);
    break;
  }
  return TransferServices()->DecideExisting(Request, e);
}

bool THostView::Refused(const std::string& name, const std::string& folder) {
  if (IsSafeEntryName(name) && folder.size() + name.size() < MaxPathLength) return false;
  AddLogLine(Format("Refused \"%s\": not a name this computer can take in %s", name, folder), ErrorColor);
  return true;
}

bool THostView::TransferFrom(TCustomView& source) {
  if (!Connected() || !Component->LoggedIn() || !EnsureQueue()) return false;
  Request = {};
  StopRequested = false;
  Gathering = true;
  UploadSelection(source, GetFolder(), 0);
  Gathering = false;
  if (TransferItems) TransferItems->ProcessNext();
  return true;
}

void THostView::UploadSelection(TCustomView& source, const std::string& remote, int depth) {
  const TNameConversion conversion = Prefs ? NameConversionOf(*Prefs) : TNameConversion{};
  const std::vector<TSelected> selection = SelectionOf(source);
  std::vector<TSelected> folders;
  for (const TSelected& s : selection) {
    if (s.Folder) {
      // A linked folder below the selection is not walked: links may loop. An automation
      // client uploads files only.
      if (!s.Path.empty() && (depth == 0 || !s.Link) && !AutomationServer()) folders.push_back(s);
      continue;
    }
    if (s.Name.empty() || !TransferItems) continue;
    const std::string destName = LastComponent(ConvertUploadName(s.Path, conversion), '/');
    const std::int64_t offset = DecideEntry(*this, remote == GetFolder(), destName, s.Size, s.Date);
    if (offset == SkipEntry) continue;
    TTransferEntry e = ConnectionEntry();
    e.SourceFolder = source.GetFolder();
    e.DestFolder = ServerPath(remote);
    e.SourceName = s.Name;
    e.DestName = destName;
    e.Size = s.Size;
    e.FileDate = s.Date;
    e.RestartAt = offset;
    e.IsUpload = true;
    e.SourceView = &source;
    e.DestView = this;
    TransferItems->AddEntry(e);
  }
  for (const TSelected& folder : folders) {
    if (StopRequested || !TransferItems) return;
    const std::string name = LastComponent(folder.Path, source.Seperator());
    std::string destName = LastComponent(ConvertUploadName(folder.Path, conversion), '/');
    if (destName.empty()) destName = name;
    if (depth >= MaxDepth || Refused(destName, remote)) continue;
    TTransferEntry e = ConnectionEntry();
    e.DestFolder = remote;
    e.SourceName = name;
    e.DestName = destName;
    e.IsUpload = true;
    e.IsFolder = true;
    e.SourceView = &source;
    e.DestView = this;
    if (TransferItems->AddEntry(e) < 0) continue;
    const std::string parent = source.GetFolder();
    if (!source.ChangeFolderWait(parent + name + source.Seperator())) continue;
    source.SelectAll();
    UploadSelection(source, remote + destName + Seperator(), depth + 1);
    source.ChangeFolderWait(parent);
  }
}

bool THostView::TransferTo(TCustomView* destination) {
  if (!destination || !Connected() || !EnsureQueue()) return false;
  Request = {};
  StopRequested = false;
  Visited.clear();
  const std::string start = GetFolder();
  Visited.insert(start);
  Gathering = true;
  DownloadSelection(*destination, destination->GetFolder(), 0);
  Gathering = false;
  // A stopped collection leaves nothing behind to run.
  if (StopRequested && TransferItems) TransferItems->CancelPending();
  Changing = false;
  ChangeFolder(start);
  if (TransferItems) TransferItems->ProcessNext();
  return true;
}

bool THostView::EnterForWalk(const std::string& path, int depth) {
  if (depth >= MaxDepth || path.size() >= MaxPathLength) {
    AddLogLine(Format("Not entering %s: the folders go too deep", path), ErrorColor);
    return false;
  }
  if (!ChangeFolderWait(path) || !SameText(GetFolder(), path)) {
    AddLogLine(Format("Could not enter %s", path), ErrorColor);
    return false;
  }
  // A folder that lists itself, or any way back to a folder already walked, ends here.
  return Visited.insert(ServerPath(GetFolder())).second;
}

void THostView::DownloadSelection(TCustomView& dest, const std::string& local, int depth) {
  const std::vector<TSelected> selection = SelectionOf(*this);
  std::shared_ptr<bool> alive = Alive;
  for (const TSelected& s : selection) {
    if (s.Folder) continue;
    QCoreApplication::processEvents();
    if (!*alive || StopRequested || !TransferItems) return;
    if (Refused(s.Name, local)) continue;
    const std::int64_t offset = DecideEntry(dest, local == dest.GetFolder(), s.Name, s.Size, s.Date);
    if (offset == SkipEntry) continue;
    TTransferEntry e = ConnectionEntry();
    e.SourceFolder = ServerPath(GetFolder());
    e.DestFolder = local;
    e.SourceName = s.Name;
    e.Size = s.Size;
    e.FileDate = s.Date;
    e.RestartAt = offset;
    e.SourceView = this;
    e.DestView = &dest;
    TransferItems->AddEntry(e);
  }
  const std::string parent = GetFolder();
  for (const TSelected& s : selection) {
    if (!s.Folder) continue;
    if (!*alive || StopRequested || !TransferItems) return;
    if (depth > 0 && s.Link) {
      AddLogLine(Format("Not following the link %s", s.Name), ErrorColor);
      continue;
    }
    if (Refused(s.Name, local)) continue;
    TTransferEntry e = ConnectionEntry();
    e.SourceFolder = ServerPath(parent);
    e.DestFolder = local;
    e.SourceName = s.Name;
    e.IsFolder = true;
    e.SourceView = this;
    e.DestView = &dest;
    if (TransferItems->AddEntry(e) < 0) continue;
    if (!EnterForWalk(parent + s.Name + Seperator(), depth)) continue;
    SelectAll();
    DownloadSelection(dest, local + s.Name + dest.Seperator(), depth + 1);
  }
}

std::string THostView::ReasonFolder() {
  QString base = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (base.isEmpty()) base = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
  const std::string folder = base.toStdString() + "/ferrowin-" + std::to_string(::getuid()) + "-files";
  ::mkdir(base.toStdString().c_str(), 0700);
  ::mkdir(folder.c_str(), 0700);
  // Only a real folder of ours, closed to others, will do: never one somebody else prepared.
  struct stat st {};
  if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) return {};
  if ((st.st_mode & 0077) != 0 && ::chmod(folder.c_str(), 0700) != 0) return {};
  return folder + "/";
}

bool THostView::DownloadFor(TCustomView& local, int reason) {
  if (!Connected() || ListView()->SelCount() == 0) return false;
  std::string folder = reason == 2 ? local.GetFolder() : ReasonFolder();
  if (folder.empty()) return false;
  if (folder.back() != local.Seperator()) folder += local.Seperator();
  Ready.clear();
  PendingFiles.clear();
  TransferReason = reason;
  for (const TSelected& s : SelectionOf(*this)) {
    if (Refused(s.Name, folder)) continue;
    PendingFiles.push_back({ServerPath(GetFolder()) + s.Name, folder + s.Name, TransferTypeOf(Prefs, s.Name)});
  }
  StartNextPending();
  return true;
}

void THostView::StartNextPending() {
  if (PendingFiles.empty()) {
    ListView()->setEnabled(true);
    return;
  }
  const TPendingFile next = PendingFiles.front();
  PendingFiles.pop_front();
  Ready.push_back(next.Local);
  Component->Download("", next.Remote, next.Local, next.Type);
}

bool THostView::UploadSelected(TCustomView& local) {
  if (!Connected() || local.ListView()->SelCount() == 0) return false;
  const std::string name = local.GetItemName(local.ListView()->Selected());
  if (name.empty()) return false;
  TransferReason = 1;
  const std::string remote = ServerPath(GetFolder());
  Component->Upload(local.GetFolder() + name, remote, remote + name, TransferTypeOf(Prefs, name));
  return true;
}

void THostView::FTPProgress(TProgressKind kind, std::int64_t bytes, bool isFile) {
  if (kind != TProgressKind::End) {
    const std::int64_t shown = kind == TProgressKind::Start ? 0 : bytes;
    StatusBar()->SetPanelText(3, QString::fromStdString(Format("%s %s", GroupDigits(shown), "Bytes")));
    return;
  }
  StatusBar()->SetPanelText(3, {});
  RaiseState(hsReady);
  if (!isFile || TransferReason <= 1) return;
  RaiseState(hsReasonDone, ListView()->SelCount());
  if (!PendingFiles.empty() || !OnTransferred) return StartNextPending();
  ListView()->setEnabled(true);
  const int reason = std::exchange(TransferReason, 0);
  OnTransferred(*this, Ready, reason);
}

}  // namespace ferrowin
