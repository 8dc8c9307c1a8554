#pragma once
// Compare Folders: which items of the local and of the remote list are worth a transfer.
// The result is a selection in both lists and nothing else: the user then sends or fetches
// it with the usual commands.

#include <cstdint>
#include <string>
#include <vector>

#include "DateTime.h"

namespace ferrowin {

class TCustomView;

struct TCompareItem {
  std::string Name;
  std::int64_t Size = 0;
  TDateTime Date = 0;
};

// The rows of mine worth sending to the other side, ascending: those without a namesake there
// (names compared without regard to case, the first namesake counts), and those larger
// (unless ignoreSize) or newer (unless ignoreDate) than it. Dates count to the minute, since
// remote listings carry no more.
[[nodiscard]] std::vector<int> SelectDifferences(const std::vector<TCompareItem>& mine,
                                                 const std::vector<TCompareItem>& other, bool ignoreSize,
                                                 bool ignoreDate);

// Every item of the view's list, in list order, with the size and date the view gives it.
[[nodiscard]] std::vector<TCompareItem> CompareItemsOf(const TCustomView& view);

// Clears the selection of both lists, then selects the differences on each side.
void CompareFolders(TCustomView& local, TCustomView& host, bool ignoreSize, bool ignoreDate);

}  // namespace ferrowin
