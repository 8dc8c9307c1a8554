#pragma once
// Commands of the main window that act on a view: which editors a selection can go to, moving
// the host selection to another server folder, sending it to any local folder, and the
// selection as text for the clipboard.

#include <string>

namespace ferrowin {

class TCustomView;
class THostView;

// The files the sister editor takes, by extension: lower case, one blank after each.
inline constexpr const char* SisterEditorExtensions = ".html .htm .shtml .asp .cfm .txt .css .asi .js ";

// Whether the name's extension (any case) is one of the sister editor's.
[[nodiscard]] bool SisterEditorTakes(const std::string& name);

struct TEditWithState {
  bool NotePad = false;
  bool Pennifold = false;
  bool operator==(const TEditWithState&) const = default;
};

// The two "Edit with" entries for the focused local item, and for the selected and focused
// host item (a folder takes neither).
[[nodiscard]] TEditWithState LocalEditWith(const TCustomView& view, bool editorInstalled);
[[nodiscard]] TEditWithState HostEditWith(const THostView& view, bool editorInstalled);

// Moves the selected entries into another folder of the server (renames), then refreshes.
// Returns the renames asked for: none when the destination is empty or the current folder.
int MoveSelectionToFolder(THostView& view, std::string destination);

// Downloads the selection into a local folder that no tab needs to show. False when the
// folder cannot be read or nothing could be queued.
bool DownloadSelectionTo(THostView& view, const std::string& folder);

// The selected entries' full remote paths (or URLs), one a line, CR LF between lines and
// none after the last; empty when nothing is selected.
[[nodiscard]] std::string SelectionAsText(const THostView& view, bool asURL);

}  // namespace ferrowin
