#include "ViewCommands.h"

#include <QWidget>
#include <algorithm>
#include <cctype>
#include <sstream>

#include "HostView.h"
#include "LoclView.h"

namespace ferrowin {
namespace {

std::string LowerExtension(const std::string& name) {
  const std::size_t dot = name.find_last_of('.');
  if (dot == std::string::npos || dot + 1 == name.size()) return {};
  std::string ext = name.substr(dot);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  return ext;
}

}  // namespace

bool SisterEditorTakes(const std::string& name) {
  // Whole entries only: a name without extension must not match the blanks between them.
  const std::string ext = LowerExtension(name);
  if (ext.empty()) return false;
  std::istringstream list(SisterEditorExtensions);
  for (std::string entry; list >> entry;)
    if (entry == ext) return true;
  return false;
}

TEditWithState LocalEditWith(const TCustomView& view, bool editorInstalled) {
  const int focused = view.ListView()->Focused();
  if (focused < 0 || view.ItemIsFolder(focused)) return {};
  return {true, editorInstalled && SisterEditorTakes(view.GetItemName(focused))};
}

TEditWithState HostEditWith(const THostView& view, bool editorInstalled) {
  const int focused = view.ListView()->Focused();
  if (focused < 0 || !view.ListView()->IsSelected(focused) || view.ItemIsFolder(focused)) return {};
  return {true, editorInstalled && SisterEditorTakes(view.GetItemName(focused))};
}

int MoveSelectionToFolder(THostView& view, std::string destination) {
  if (destination.empty()) return 0;
  if (destination.back() != view.Seperator()) destination += view.Seperator();
  if (destination == view.GetFolder()) return 0;
  const std::string target = view.ServerPath(destination);
  int renames = 0;
  for (int row : view.ListView()->SelectedItems()) {
    view.FTP().Rename(view.GetItemPath(row), target + view.GetItemName(row));
    ++renames;
  }
  if (renames > 0) view.Refresh();
  return renames;
}

bool DownloadSelectionTo(THostView& view, const std::string& folder) {
  // A view nobody sees; the queued items hold it weakly and write to the folder by name.
  QWidget sheet;
  auto* hidden = new TLocalView(&sheet);
  if (!hidden->ChangeFolderWait(folder)) return false;
  return view.TransferTo(hidden);
}

std::string SelectionAsText(const THostView& view, bool asURL) {
  std::string text;
  for (int row : view.ListView()->SelectedItems()) text += (asURL ? view.ItemURL(row) : view.GetItemPath(row)) + "\r\n";
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
  return text;
}

}  // namespace ferrowin
