// The file commands of the main window: folder commands of both sides, Send To, Edit with,
// the programs started for fetched files, and the list of temporary files.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>

#include "HostView.h"
#include "LoclView.h"
#include "Main.h"
#include "Programs.h"
#include "Prompts.h"
#include "TempFiles.h"
#include "ViewCommands.h"

namespace ferrowin {
namespace {

// An input box through the prompt service; false when cancelled.
bool AskText(QWidget* parent, const QString& title, const QString& prompt, QString& text) {
  QInputDialog box(parent);
  box.setWindowTitle(title);
  box.setLabelText(prompt);
  box.setTextValue(text);
  if (RunModal(box) != QDialog::Accepted) return false;
  text = box.textValue();
  return true;
}

// A folder-browse dialog through the prompt service; empty when cancelled or not a folder.
QString BrowseFolder(QWidget* parent, const QString& title, const QString& start) {
  QFileDialog dialog(parent, title, start);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  if (RunModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  const QFileInfo folder(dialog.selectedFiles().front());
  return folder.isDir() ? folder.absoluteFilePath() : QString();
}

bool ListHasFocus(const TCustomView* view) {
  const QWidget* focus = QApplication::focusWidget();
  const TListControl* list = view ? view->ListView() : nullptr;
  return list && focus && (focus == list || list->isAncestorOf(focus));
}

}  // namespace

const std::vector<std::string>& TfrmMain::TemporaryFiles() const { return TempFiles->Files(); }

QString TfrmMain::ViewerProgram() const {
  return TextViewerProgram(QString::fromStdString(Prefs.Viewer),
                           QString::fromLatin1(DefaultViewer.data(), static_cast<qsizetype>(DefaultViewer.size())));
}

void TfrmMain::StartOrSay(const TProgramStart& start) {
  if (StartProgram(start)) return;
  TPrompt prompt;
  prompt.Text = QStringLiteral("An error occurred when the program was started.");
  prompt.Icon = QMessageBox::Critical;
  Ask(this, prompt);
}

void TfrmMain::btnHostRefreshClick() {
  if (THostView* view = CurrentHostView()) view->Refresh();
}

void TfrmMain::btnLocalRefreshClick() {
  if (TLocalView* view = CurrentLocalView()) view->Refresh();
}

void TfrmMain::btnHostUpClick() {
  if (THostView* view = CurrentHostView()) view->FolderUp();
}

void TfrmMain::btnLocalUpClick() {
  if (TLocalView* view = CurrentLocalView()) view->FolderUp();
}

void TfrmMain::btnHostChDirClick() {
  THostView* view = CurrentHostView();
  if (!view) return;
  QString folder = QString::fromStdString(view->GetFolder());
  if (!AskText(this, QStringLiteral("Open Folder"), QStringLiteral("Enter the path of a folder you want to open"), folder))
    return;
  if (folder.toStdString() != view->GetFolder()) view->ChangeFolder(folder.toStdString());
}

void TfrmMain::btnLocalChDirClick() {
  const QString folder = BrowseFolder(this, QStringLiteral("Select Folder to View"), editLocalFolder->text());
  if (folder.isEmpty()) return;
  editLocalFolder->setText(folder);
  if (TLocalView* view = CurrentLocalView()) view->ChangeFolder(folder.toStdString());
}

void TfrmMain::btnHostNewFolderClick() {
  THostView* view = CurrentHostView();
  QString name;
  if (!view || !AskText(this, QStringLiteral("Create a new folder"), QStringLiteral("New Folder to create"), name) ||
      name.isEmpty())
    return;
  view->NewFolder(view->GetFolder() + name.toStdString(), false);
}

void TfrmMain::btnLocalNewFolderClick() {
  if (TLocalView* view = CurrentLocalView()) view->NewFolder({}, true);
}

void TfrmMain::DeleteSelection(TSide side, Qt::KeyboardModifiers modifiers) {
  if (TCustomView* view = CurrentView(side)) view->DeleteSelected(!(modifiers & Qt::ShiftModifier));
}

void TfrmMain::btnHostDeleteClick() { DeleteSelection(TSide::Host, QApplication::keyboardModifiers()); }
void TfrmMain::btnLocalDeleteClick() { DeleteSelection(TSide::Local, QApplication::keyboardModifiers()); }

void TfrmMain::btnHostRenameClick() {
  if (THostView* view = CurrentHostView()) view->BeginRename();
}

void TfrmMain::btnLocalRenameClick() {
  if (TLocalView* view = CurrentLocalView()) view->BeginRename();
}

void TfrmMain::mnuLocalCutClick() {
  if (TLocalView* view = CurrentLocalView()) view->CutSelected();
}

void TfrmMain::mnuLocalCopyClick() {
  if (TLocalView* view = CurrentLocalView()) view->CopySelected();
}

void TfrmMain::mnuLocalPasteClick() {
  if (TLocalView* view = CurrentLocalView()) view->PasteFiles();
}

void TfrmMain::PopLocalPropertiesClick() {
  if (TLocalView* view = CurrentLocalView()) view->ShowProperties();
}

void TfrmMain::popHostPropertiesClick() {
  if (THostView* view = CurrentHostView()) view->ShowProperties();
}

void TfrmMain::mnuSelectAllClick() {
  if (ListHasFocus(CurrentLocalView())) CurrentLocalView()->SelectAll();
  else if (ListHasFocus(CurrentHostView())) CurrentHostView()->SelectAll();
}

void TfrmMain::mnuInvertSelectClick() {
  if (ListHasFocus(CurrentLocalView())) CurrentLocalView()->InvertSelection();
  else if (ListHasFocus(CurrentHostView())) CurrentHostView()->InvertSelection();
}

void TfrmMain::popHostDownloadClick() { btnDownloadClick(); }

void TfrmMain::popHostDownloadNowClick() {
  if (CurrentHostView() && CurrentLocalView()) CurrentHostView()->DownloadFor(*CurrentLocalView(), 2);
}

void TfrmMain::popHostOpenClick() {
  if (CurrentHostView() && CurrentLocalView()) CurrentHostView()->DownloadFor(*CurrentLocalView(), 3);
}

void TfrmMain::popHostViewClick() {
  if (CurrentHostView() && CurrentLocalView()) CurrentHostView()->DownloadFor(*CurrentLocalView(), 4);
}

void TfrmMain::popHostSendToAnyHostFolderClick() {
  THostView* view = CurrentHostView();
  if (!view) return;
  QString folder = QString::fromStdString(view->GetFolder());
  if (AskText(this, QStringLiteral("Move to another folder"), QStringLiteral("Destination folder"), folder))
    MoveSelectionToFolder(*view, folder.toStdString());
}

void TfrmMain::popHostSendToAnyLocalFolderClick() {
  THostView* view = CurrentHostView();
  if (!view) return;
  const QString folder = BrowseFolder(this, QStringLiteral("Select Destination Folder"), editLocalFolder->text());
  if (!folder.isEmpty()) DownloadSelectionTo(*view, folder.toStdString());
}

void TfrmMain::popHostSendToClipboardAsNameClick(bool asURL) {
  THostView* view = CurrentHostView();
  const std::string text = view ? SelectionAsText(*view, asURL) : std::string();
  if (!text.empty()) QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

void TfrmMain::PopEditPopup(TSide side, QMenu* menu) {
  const bool installed = !SisterEditor.empty();
  TEditWithState state;
  if (side == TSide::Local && CurrentLocalView()) state = LocalEditWith(*CurrentLocalView(), installed);
  if (side == TSide::Host && CurrentHostView()) state = HostEditWith(*CurrentHostView(), installed);
  menu->actions().at(0)->setEnabled(state.NotePad);
  menu->actions().at(1)->setEnabled(state.Pennifold);
}

void TfrmMain::PopEditNotePadClick(TSide side, bool sisterEditor) {
  if (side == TSide::Host) {
    if (CurrentHostView() && CurrentLocalView()) CurrentHostView()->DownloadFor(*CurrentLocalView(), sisterEditor ? 5 : 4);
    return;
  }
  TLocalView* view = CurrentLocalView();
  if (!view || view->ListView()->SelCount() == 0 || (sisterEditor && SisterEditor.empty())) return;
  QStringList paths;
  for (int item : view->ListView()->SelectedItems()) paths << QString::fromStdString(view->GetItemPath(item));
  if (sisterEditor) {
    const QString editor = QString::fromStdString(SisterEditor);
    StartOrSay({editor, paths, QFileInfo(editor).absolutePath()});
    return;
  }
  const QString viewer = ViewerProgram();
  for (const QString& path : paths) StartOrSay({viewer, {path}, QFileInfo(viewer).absolutePath()});
}

void TfrmMain::HostFilesReady(THostView&, const std::vector<std::string>& files, int mode) {
  if (files.empty() || mode == 2) return;
  QStringList paths;
  for (const std::string& file : files) {
    paths << QString::fromStdString(file);
    TempFiles->Add(file);
  }
  const QString folder = QFileInfo(paths.front()).absolutePath();
  if (mode == 3) {
    StartOrSay({QString(), {paths.front()}, QString()});
  } else if (mode == 4) {
    const QString viewer = ViewerProgram();
    for (const QString& path : paths) StartOrSay({viewer, {path}, folder});
  } else if (mode == 5 && !SisterEditor.empty()) {
    StartOrSay({QString::fromStdString(SisterEditor), paths, folder});
  }
}

}  // namespace ferrowin
