// The host view's list items: building them from cached records, what they answer, masks
// and sorting.

#include <QCollator>
#include <QDateTime>
#include <QLocale>
#include <cmath>

#include "FTPUtils.h"
#include "Format.h"
#include "HostView.h"
#include "Shell.h"

namespace ferrowin {

namespace {

bool MatchesOne(const QString& name, const QString& mask) {
  qsizetype pos = 0;
  bool star = false;
  for (QChar c : mask) {
    if (c == '*') {
      star = true;
    } else if (c == '?') {
      if (pos >= name.size()) return false;
      ++pos;
    } else if (star) {
      // No backtracking: the star ends at the first occurrence.
      const qsizetype found = name.indexOf(c, pos);
      if (found < 0) return false;
      pos = found + 1;
      star = false;
    } else {
      if (pos >= name.size() || name[pos] != c) return false;
      ++pos;
    }
  }
  return pos == name.size() || star;
}

QString TypeText(const QString& name) {
  QString type = ShellTypeName(name);
  if (!type.isEmpty()) return type;
  const qsizetype dot = name.lastIndexOf('.');
  return dot < 0 ? QStringLiteral("File") : name.mid(dot + 1) + QStringLiteral(" File");
}

// A link whose target ends in a name with an extension is a file; any other is a folder.
bool LinkTargetIsFolder(const QString& target) {
  for (qsizetype i = target.size(); i-- > 0;) {
    if (target[i] == '/') return true;
    if (target[i] == '.') return false;
  }
  return true;
}

}  // namespace

bool MatchesMask(const QString& name, const QStringList& masks) {
  if (masks.isEmpty() || masks.contains(QStringLiteral("*.*"))) return true;
  const QString lower = name.toLower();
  for (const QString& mask : masks)
    if (MatchesOne(lower, mask)) return true;
  return false;
}

std::string THostView::GetMask() const {
  return FilterMasks.isEmpty() ? std::string("*.*") : FilterMasks.join(';').toStdString();
}

void THostView::SetMask(const std::string& mask) {
  TCustomView::SetMask(mask);
  if (mask == GetMask()) return;
  FilterMasks.clear();
  const QString text = QString::fromStdString(mask).toLower().trimmed();
  if (text != QStringLiteral("*.*")) FilterMasks = text.split(';', Qt::SkipEmptyParts);
  ChangeFolder(GetFolder());
}

QString THostView::DateText(TDateTime date) {
  const long long minute = std::llround(date * 1440.0);
  auto it = DateTexts.find(minute);
  if (it != DateTexts.end()) return it->second;
  const TDateTimeParts d = DecodeDateTime(date);
  const QDateTime when(QDate(d.Year, d.Month, d.Day), QTime(d.Hour, d.Minute));
  return DateTexts.emplace(minute, QLocale().toString(when, QLocale::ShortFormat)).first->second;
}

TListItem THostView::BuildItem(TListingEntry& record) {
  TListItem item;
  item.Data = &record;
  item.Caption = QString::fromStdString(record.Name);
  QString type;
  if (record.Attributes & faSymLink) {
    const qsizetype arrow = item.Caption.indexOf(QStringLiteral(" -> "));
    const QString target = arrow < 0 ? QString() : item.Caption.mid(arrow + 4);
    if (arrow >= 0) item.Caption.truncate(arrow);
    if (LinkTargetIsFolder(target)) record.Attributes |= faDirectory;
    item.OverlayIndex = 1;
    type = QStringLiteral("Shortcut to ") + target;
  }
  TShellImages& images = TShellImages::Instance();
  QString size;
  if (record.Attributes & faDirectory) {
    item.ImageIndex = images.ClosedFolderIndex();
    if (type.isEmpty()) type = QStringLiteral("File Folder");
  } else {
    item.ImageIndex = images.FileIconIndex(item.Caption);
    size = QString::fromStdString(GroupDigits((record.Size + 1023) / 1024)) + QStringLiteral("KB");
    if (type.isEmpty()) type = TypeText(item.Caption);
  }
  item.SubItems = {size, type, DateText(record.Date)};
  return item;
}

const TListingEntry* THostView::ItemRecord(TItem item) const {
  const TListModel* items = ListView()->Items();
  if (item < 0 || item >= items->Count()) return nullptr;
  return static_cast<const TListingEntry*>(items->Item(item).Data);
}

std::string THostView::GetItemName(TItem item) const {
  if (!ItemRecord(item)) return {};
  QString caption = ListView()->Items()->Item(item).Caption;
  const qsizetype arrow = caption.indexOf(QStringLiteral(" -> "));
  if (arrow >= 0) caption.truncate(arrow);
  return caption.toStdString();
}

std::string THostView::GetItemPath(TItem item) const {
  const std::string name = GetItemName(item);
  return name.empty() ? std::string() : ServerPath(GetFolder()) + name;
}

bool THostView::ItemIsFolder(TItem item) const {
  const TListingEntry* r = ItemRecord(item);
  return r && (r->Attributes & faDirectory);
}

bool THostView::ItemIsLink(TItem item) const {
  const TListingEntry* r = ItemRecord(item);
  return r && (r->Attributes & faSymLink);
}

std::int64_t THostView::GetItemSize(TItem item) const {
  const TListingEntry* r = ItemRecord(item);
  return r ? r->Size : 0;
}

TDateTime THostView::GetItemDate(TItem item) const {
  const TListingEntry* r = ItemRecord(item);
  return r ? r->Date : 0;
}

bool THostView::OpenItem(TItem item) {
  if (!ItemIsFolder(item)) return false;
  // The view's own form of the path: the server's form (DISK$USER:[A]B) is made by
  // ChangeFolder, and the cache is keyed by the view's form.
  ChangeFolder(GetFolder() + GetItemName(item) + Seperator());
  return true;
}

std::string THostView::ItemURL(TItem item) const {
  const std::string path = GetItemPath(item);
  if (path.empty()) return {};
  return EntryURL(Component->User, Component->Password, Component->Host(), static_cast<unsigned>(Component->Port),
                  path);
}

void THostView::ColumnClick(int column) {
  SortBy = column + 1 == SortBy ? -SortBy : column + 1;
  const bool redraw = DoUpdates;
  if (redraw) ListView()->setUpdatesEnabled(false);
  SortItems();
  if (redraw) ListView()->setUpdatesEnabled(true);
}

void THostView::SortItems() {
  TListModel* items = ListView()->Items();
  const int count = items->Count();
  const int k = std::abs(SortBy);
  QCollator collator;
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  // Sort keys once per item rather than a collation per comparison.
  std::vector<QCollatorSortKey> captions, types;
  if (k < 4) {
    captions.reserve(count);
    for (int i = 0; i < count; ++i) captions.push_back(collator.sortKey(items->Item(i).Caption));
  }
  if (k == 3) {
    types.reserve(count);
    for (int i = 0; i < count; ++i) types.push_back(collator.sortKey(items->Item(i).SubItems.value(1)));
  }
  auto record = [items](int row) { return static_cast<const TListingEntry*>(items->Item(row).Data); };
  auto compareDates = [](TDateTime a, TDateTime b) { return a == b ? 0 : (a < b ? -1 : 1); };
  auto compare = [&](int a, int b) {
    const TListingEntry* ra = record(a);
    const TListingEntry* rb = record(b);
    const bool fa = ra->Attributes & faDirectory, fb = rb->Attributes & faDirectory;
    if (fa != fb) return fa ? -1 : 1;
    if (k == 4) return compareDates(ra->Date, rb->Date);
    if (fa || k == 1) return captions[a].compare(captions[b]);
    if (k == 2) return ra->Size == rb->Size ? 0 : (ra->Size < rb->Size ? -1 : 1);
    return types[a].compare(types[b]);
  };
  if (SortBy < 0) items->Sort([&](int a, int b) { return compare(a, b) > 0; });
  else items->Sort([&](int a, int b) { return compare(a, b) < 0; });
}

}  // namespace ferrowin
