#include "Compare.h"

#include <QHash>
#include <QItemSelection>
#include <cmath>

#include "AllViews.h"

namespace ferrowin {
namespace {

long long Minute(TDateTime date) { return static_cast<long long>(std::floor(date * 1440.0 + 1e-6)); }

QString Folded(const std::string& name) { return QString::fromStdString(name).toCaseFolded(); }

void Select(TListControl& list, const std::vector<int>& rows) {
  // One selection change for the lot: each change reaches the buttons and the viewer.
  QItemSelection selection;
  for (int row : rows) selection.select(list.Index(row), list.Index(row));
  list.Selection()->select(selection, QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

}  // namespace

std::vector<int> SelectDifferences(const std::vector<TCompareItem>& mine, const std::vector<TCompareItem>& other,
                                   bool ignoreSize, bool ignoreDate) {
  QHash<QString, int> first;  // a look-up per item, not a walk of the other list
  first.reserve(static_cast<qsizetype>(other.size()));
  for (int i = 0; i < static_cast<int>(other.size()); ++i) {
    const QString key = Folded(other[i].Name);
    if (!first.contains(key)) first.insert(key, i);
  }
  std::vector<int> rows;
  for (int i = 0; i < static_cast<int>(mine.size()); ++i) {
    const auto found = first.constFind(Folded(mine[i].Name));
    if (found == first.cend()) {
      rows.push_back(i);
      continue;
    }
    const TCompareItem& namesake = other[*found];
    if ((!ignoreSize && mine[i].Size > namesake.Size) || (!ignoreDate && Minute(mine[i].Date) > Minute(namesake.Date)))
      rows.push_back(i);
  }
  return rows;
}

std::vector<TCompareItem> CompareItemsOf(const TCustomView& view) {
  const TListControl& list = *view.ListView();
  std::vector<TCompareItem> items;
  items.reserve(static_cast<std::size_t>(list.ItemCount()));
  for (int row = 0; row < list.ItemCount(); ++row)
    items.push_back({list.Caption(row).toStdString(), view.GetItemSize(row), view.GetItemDate(row)});
  return items;
}

void CompareFolders(TCustomView& local, TCustomView& host, bool ignoreSize, bool ignoreDate) {
  local.ListView()->ClearSelection();
  host.ListView()->ClearSelection();
  const std::vector<TCompareItem> localItems = CompareItemsOf(local);
  const std::vector<TCompareItem> hostItems = CompareItemsOf(host);
  Select(*local.ListView(), SelectDifferences(localItems, hostItems, ignoreSize, ignoreDate));
  Select(*host.ListView(), SelectDifferences(hostItems, localItems, ignoreSize, ignoreDate));
  // The status bars count what is selected; they hear of clicks and keys, not of this.
  local.UpdateStatus();
  host.UpdateStatus();
}

}  // namespace ferrowin
