// The automation object's members.

#include "Automation.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <chrono>
#include <QTabWidget>
#include <limits>

#include "AutomationHooks.h"
#include "Format.h"
#include "HostView.h"
#include "LoclView.h"
#include "Main.h"
#include "MainAutomation.h"
#include "NameConversion.h"
#include "Transfer.h"

namespace ferrowin {

TQuorra::TQuorra(TfrmMain& main) : Main(main) {
  TAutomationHooks& hooks = AutomationHooks();
  hooks.OnConnected = [this] { Raise("OnConnected"); };
  hooks.OnDisconnected = [this] { Raise("OnDisconnected"); };
  hooks.OnLoggedIn = [this] { Raise("OnLoggedIn"); };
  hooks.OnCantLogin = [this] { Raise("OnCantLogin"); };
  hooks.OnLog = [this](const std::string& line) { Raise("OnLog", {QString::fromStdString(line)}); };
  hooks.OnItemCompleted = [this](const std::string& file) { Raise("OnItemCompleted", {QString::fromStdString(file)}); };
  hooks.OnAllItemsCompleted = [this] { Raise("OnAllItemsCompleted"); };
  if (TAutomationPanel* panel = Main.pnlOpenSave) {
    panel->OnAccept = [this] { Raise("OnAccept"); };
    panel->OnCancel = [this] { Raise("OnCancel"); };
  }
}

TQuorra::~TQuorra() {
  AutomationHooks() = {};
  if (TAutomationPanel* panel = Main.pnlOpenSave) {
    panel->OnAccept = nullptr;
    panel->OnCancel = nullptr;
  }
  Main.hide();
  Main.AbortAllConnections();
}

void TQuorra::Raise(const char* name, const QVariantList& args) {
  if (OnEvent) OnEvent(QString::fromLatin1(name), args);
}

THostView& TQuorra::HostView() const {
  THostView* view = Main.CurrentHostView();
  if (!view) throw EAutomationError("There is no host view");
  return *view;
}

int TQuorra::Checked(int index) const {
  if (index < 0 || index >= HostView().ListView()->ItemCount())
    throw EAutomationError(Format("List index out of bounds (%d)", index));
  return index;
}

void TQuorra::ConnectTo(const std::string& host, int port, const std::string& userName, const std::string& password,
                        const std::string& account, const std::string& folder) {
  THostView* view = &HostView();
  if (view->Connected()) {
    view = Main.NewHostView();  // the first connection stays
    if (Main.pnlOpenSave) Main.pnlOpenSave->ApplySelectionMode(*view);
  }
  Main.pgctrlHost->setTabText(Main.pgctrlHost->currentIndex(), QString::fromStdString(host));
  Main.setWindowTitle(QString::fromStdString(Format("%s - Ferrowin", host)));
  view->ConnectHost(host, port, {}, folder, account, password, userName);
}

void TQuorra::Disconnect() { HostView().Disconnect(); }
void TQuorra::Abort() { HostView().Stop(); }
void TQuorra::RefreshFolder() { HostView().Refresh(); }
void TQuorra::CreateFolder(const std::string& folderName) { HostView().NewFolder(folderName, true); }

void TQuorra::SelectItem(int index, bool selected) {
  TListControl* list = HostView().ListView();
  (void)Checked(index);
  // "Save as" takes one item, as the list does for clicks.
  if (selected && Main.pnlOpenSave && Main.pnlOpenSave->DialogAction() == TDialogAction::daSaveAs)
    list->ClearSelection();
  list->SetSelected(index, selected);
  HostView().UpdateStatus();  // the name box follows
}

bool TQuorra::ItemIsSelected(int index) const { return HostView().ListView()->IsSelected(Checked(index)); }
bool TQuorra::ItemIsFolder(int index) const { return HostView().ItemIsFolder(Checked(index)); }
std::string TQuorra::ItemName(int index) const { return HostView().GetItemName(Checked(index)); }

// The interface's size is 32-bit: a larger file reads as the largest value, never negative.
std::int32_t TQuorra::ItemSize(int index) const {
  const std::int64_t size = HostView().GetItemSize(Checked(index));
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(size, 0, std::numeric_limits<std::int32_t>::max()));
}

TDateTime TQuorra::ItemDate(int index) const { return HostView().GetItemDate(Checked(index)); }
void TQuorra::DeleteSelectedItems(bool confirm) { HostView().DeleteSelected(confirm); }

void TQuorra::RenameItem(int index, const std::string& newName) {
  THostView& view = HostView();
  view.RenameEntry(view.GetItemName(Checked(index)), newName);
}

std::string TQuorra::Mask() const { return HostView().GetMask(); }
void TQuorra::SetMask(const std::string& mask) { HostView().SetMask(mask); }
std::string TQuorra::CurrentFolder() const { return HostView().GetFolder(); }
void TQuorra::SetCurrentFolder(const std::string& folder) { HostView().SetFolder(folder); }

void TQuorra::Upload(const std::string& localFileName, const std::string& destFileName) {
  const QFileInfo file(QString::fromStdString(localFileName));
  if (!file.isFile() || !file.isReadable()) return;  // nothing to send: quietly nothing
  THostView& view = HostView();
  TTransferEntry e = view.ConnectionEntry();
  e.SourceFolder = file.absolutePath().toStdString() + "/";
  e.DestFolder = view.GetFolder();
  e.SourceName = file.fileName().toStdString();
  std::string converted = ConvertUploadName(file.absoluteFilePath().toStdString(), NameConversionOf(Main.Prefs));
  e.DestName = destFileName.empty() ? converted.substr(converted.find_last_of('/') + 1) : destFileName;
  e.Size = file.size();
  e.FileDate = FromTimePoint(std::chrono::system_clock::time_point(
      std::chrono::milliseconds(file.lastModified().toMSecsSinceEpoch())));
  e.IsUpload = true;
  e.DestView = &view;
  Main.TransferList->General().AddEntry(e);  // no existing-file check
}

void TQuorra::Download(const std::string& destinationFolder) {
  if (!QFileInfo(QString::fromStdString(destinationFolder)).isAbsolute())
    throw EAutomationError(Format("\"%s\" is not an absolute folder", destinationFolder));
  TLocalView* local = Main.CurrentLocalView();
  if (!local) throw EAutomationError("There is no local view");
  // Files already there are judged by the local list: it must show this folder, not another
  // one whose same-named files would decide (and resume into the wrong file).
  const QString folder = QString::fromStdString(destinationFolder);
  if (!QDir().mkpath(folder) || !local->ChangeFolderWait(destinationFolder))
    throw EAutomationError(Format("Cannot open the folder %s", destinationFolder));
  HostView().TransferTo(local);
}

int TQuorra::ItemCount() const { return HostView().ListView()->ItemCount(); }

namespace {
TAutomationPanel& Panel(TfrmMain& main) {
  if (!main.pnlOpenSave) throw EAutomationError("The window is not an open/save dialog");
  return *main.pnlOpenSave;
}
}  // namespace

int TQuorra::DialogAction() const { return static_cast<int>(Panel(Main).DialogAction()); }

void TQuorra::SetDialogAction(int action) {
  if (action < 0 || action > 2) throw EAutomationError(Format("%d is not a dialog action (0, 1 or 2)", action));
  Panel(Main).SetDialogAction(static_cast<TDialogAction>(action));
}

std::string TQuorra::SaveAsFileName() const { return Panel(Main).SaveAsFileName(); }
void TQuorra::SetSaveAsFileName(const std::string& name) { Panel(Main).SetSaveAsFileName(name); }
void TQuorra::Show() { Main.show(); }
void TQuorra::Hide() { Main.hide(); }
void TQuorra::ClearSaveList() { Panel(Main).ClearSaveList(); }
void TQuorra::AddToSaveList(const std::string& fileName) { Panel(Main).AddToSaveList(fileName); }

}  // namespace ferrowin
