#include "LoclView.h"

#include <QEventLoop>
#include <QTimer>

#include <QDir>
#include <QFileIconProvider>
#include <QFileSystemModel>
#include <filesystem>

#include "FileProp.h"
#include "Format.h"
#include "Prompts.h"
#include "Shell.h"

namespace ferrowin {

TDateTime ToMinute(const QDateTime& time) {
  const QDate d = time.date();
  const QTime t = time.time();
  return EncodeDateTime(d.year(), d.month(), d.day(), t.hour(), t.minute());
}

TLocalView::TLocalView(QWidget* owner) : TCustomView(owner) {
  CreateControls();
  SetSeperator('/');
}

TLocalView::~TLocalView() {
  // The model must go before its icon provider, and the list that shows it before the model.
  DestroyControls();
  delete Files;
}

TListControl* TLocalView::CreateListView(QWidget* parent) {
  Files = new QFileSystemModel(this);
  Icons = std::make_unique<QFileIconProvider>();
  Files->setIconProvider(Icons.get());
  Files->setReadOnly(false);  // renaming in place
  Files->setFilter(QDir::AllEntries | QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
  Files->setNameFilterDisables(false);
  auto* list = new TListControl(parent, Files);
  list->SetAutoDrag(true);
  ConnectListHandlers(list);
  list->OnEdited = [this](int item, const QString&) {
    if (OnFileChanging) OnFileChanging(*this, GetItemPath(item));
    return true;  // the model renames the file
  };
  list->OnColumnClick = [this](int column) {
    SortOrder = column == SortColumn && SortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    SortColumn = column;
    Files->sort(column, SortOrder);
  };
  // Sizes and counts change as the model reads the folder and notices files.
  auto changed = [this] {
    InvalidateTotal();
    UpdateStatus();
  };
  connect(Files, &QFileSystemModel::directoryLoaded, this, changed);
  connect(Files, &QAbstractItemModel::rowsInserted, this, changed);
  connect(Files, &QAbstractItemModel::rowsRemoved, this, changed);
  // A new mask hides or shows rows by re-laying the model out, without removing any.
  connect(Files, &QAbstractItemModel::layoutChanged, this, changed);
  return list;
}

std::string TLocalView::GetMask() const {
  const QStringList filters = Files->nameFilters();
  return filters.isEmpty() ? std::string("*.*") : filters.join(';').toStdString();
}

void TLocalView::SetMask(const std::string& mask) {
  TCustomView::SetMask(mask);
  if (mask == GetMask()) return;
  const QString text = QString::fromStdString(mask).trimmed();
  QStringList filters = text.split(';', Qt::SkipEmptyParts);
  if (filters.contains(QStringLiteral("*.*"))) filters.clear();
  Files->setNameFilters(filters);
}

bool TLocalView::TransferFrom(TCustomView&) { return false; }

std::string TLocalView::GetItemPath(TItem item) const {
  if (item < 0 || item >= ListView()->ItemCount()) return {};
  return Files->filePath(ListView()->Index(item)).toStdString();
}

std::string TLocalView::GetItemName(TItem item) const {
  return std::filesystem::path(GetItemPath(item)).filename().string();
}

bool TLocalView::ItemIsFolder(TItem item) const {
  const QModelIndex index = ListView()->Index(item);
  return index.isValid() && Files->isDir(index);
}

bool TLocalView::ItemIsLink(TItem item) const {
  const QModelIndex index = ListView()->Index(item);
  return index.isValid() && Files->fileInfo(index).isSymLink();
}

std::int64_t TLocalView::GetItemSize(TItem item) const {
  const QModelIndex index = ListView()->Index(item);
  // A link to nothing has no size (the model gives -1).
  return index.isValid() && !Files->isDir(index) ? std::max<std::int64_t>(0, Files->size(index)) : 0;
}

TDateTime TLocalView::GetItemDate(TItem item) const {
  const QModelIndex index = ListView()->Index(item);
  if (!index.isValid()) return Now();
  const QDateTime modified = Files->lastModified(index);
  return modified.isValid() ? ToMinute(modified) : Now();
}

bool TLocalView::OpenItem(TItem item) {
  if (!ItemIsFolder(item)) return false;
  ChangeFolder(GetItemPath(item));
  return true;
}

bool TLocalView::ChangeFolder(const std::string& path) {
  QString folder = QDir::cleanPath(QString::fromStdString(path));
  if (folder.isEmpty() || !QFileInfo(folder).isDir()) return false;
  if (OnFileChanging && folder != QDir::cleanPath(QString::fromStdString(GetFolder())))
    OnFileChanging(*this, folder.toStdString());  // not for a refresh
  Files->setRootPath(folder);
  const QModelIndex root = Files->index(folder);
  if (!root.isValid()) return false;
  ListView()->ClearSelection();
  ListView()->SetRoot(root);
  FolderChanged();
  return true;
}

bool TLocalView::ChangeFolderWait(const std::string& path) {
  if (!ChangeFolder(path)) return false;
  // The model reads a folder in the background and applies the mask later still: wait until
  // it shows what the disk holds through the mask, so a selection made next sees every entry
  // and none that the mask hides.
  const QString folder = Files->rootPath();
  QDir disk(folder, QString(), QDir::NoSort, Files->filter());
  disk.setNameFilters(Files->nameFilters());  // the mask, on files only (AllDirs), as the model has it
  const int expected = static_cast<int>(disk.count());
  QEventLoop loop;
  QTimer deadline;
  deadline.setSingleShot(true);
  connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
  auto shown = [&] { return Files->rowCount(Files->index(folder)) == expected; };
  QTimer tick;
  connect(&tick, &QTimer::timeout, &loop, [&] {
    if (shown()) loop.quit();
  });
  if (shown()) return true;
  deadline.start(10000);
  tick.start(5);
  loop.exec();
  return true;
}

bool TLocalView::FolderUp() {
  QDir folder(QString::fromStdString(GetFolder()));
  return folder.cdUp() && ChangeFolder(folder.path().toStdString());
}

void TLocalView::FolderChanged() {
  InvalidateTotal();
  UpdateStatus();
  SetFolder(Files->rootPath().toStdString());
  const std::int64_t free = FreeSpace(Files->rootPath());
  StatusBar()->SetPanelText(3, free < 0 ? QString()
                                        : QString::fromStdString(Format("%.0n %s %s", free, "Bytes", "Free")));
  if (OnFolderChanged) OnFolderChanged(*ListView());
}

QString TLocalView::NewFolderName(const QString& folder) {
  const QString base = QStringLiteral("New Folder");
  QString name = base;
  for (int n = 2; QFileInfo::exists(QDir(folder).filePath(name)); ++n) name = QStringLiteral("%1 (%2)").arg(base).arg(n);
  return name;
}

bool TLocalView::NewFolder(const std::string&, bool startRename) {
  const QModelIndex created = Files->mkdir(ListView()->Root(), NewFolderName(Files->rootPath()));
  if (!created.isValid()) return false;
  if (startRename) ListView()->EditCaption(ListView()->ItemOf(created));
  return true;
}

QStringList TLocalView::SelectedPaths() const {
  QStringList paths;
  for (int item : ListView()->SelectedItems()) paths << QString::fromStdString(GetItemPath(item));
  return paths;
}

bool TLocalView::DeleteSelected(bool) {
  const std::vector<int> selected = ListView()->SelectedItems();
  if (selected.empty()) return false;
  if (OnFileChanging)
    for (int item : selected)
      if (!ItemIsFolder(item)) OnFileChanging(*this, GetItemPath(item));
  // The trash is the desktop's recycling: nothing is lost, so no question is asked.
  return ShellTrash(SelectedPaths());
}

bool TLocalView::ShowProperties() {
  const std::vector<int> selected = ListView()->SelectedItems();
  if (selected.empty()) return false;
  TdlgLocalProperties dialog(Files->fileInfo(ListView()->Index(selected.front())), ListView());
  RunModal(dialog);
  return true;
}

void TLocalView::CutSelected() { ShellToClipboard(SelectedPaths(), true); }

void TLocalView::CopySelected() { ShellToClipboard(SelectedPaths(), false); }

void TLocalView::PasteFiles() { ShellPaste(Files->rootPath()); }

void TLocalView::Refresh() {
  const QString folder = Files->rootPath();
  Files->setRootPath(QString());
  ChangeFolder(folder.toStdString());
}

void TLocalView::EntryArrived(TTransferItem*, const std::string&, TDateTime, std::int64_t, bool,
                              const std::string&) {}

bool TLocalView::RenameEntry(const std::string& oldName, const std::string& newName) {
  namespace fs = std::filesystem;
  std::error_code ec;
  // A rename here never replaces another file, as it would silently on this system.
  if (fs::exists(fs::symlink_status(newName, ec))) return false;
  fs::rename(oldName, newName, ec);
  return !ec;
}

}  // namespace ferrowin
