// The host view's properties command: the properties dialog of the selection, and the new
// permissions sent for every selected entry when the user changed them.

#include "FileProp.h"
#include "HostView.h"
#include "Prompts.h"
#include "Shell.h"

namespace ferrowin {

bool THostView::ShowProperties() {
  if (ListView()->SelectedItems().empty()) return false;
  TfrmProperties dialog(ListView());
  dialog.Images = &TShellImages::Instance();
  dialog.Location = ServerPath(GetFolder());
  dialog.List = ListView();
  dialog.EditPermissions = true;
  if (RunModal(dialog) != QDialog::Accepted) return false;
  if (dialog.PermissionsChanged())
    for (int item : ListView()->SelectedItems()) Component->ChangeAttributes(GetItemPath(item), dialog.Permissions());
  return true;
}

}  // namespace ferrowin
