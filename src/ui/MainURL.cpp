// Connect to URL: the dialog, then an ftp connection in the current (or a new) host tab, or
// an http download.

#include "FTPUtils.h"
#include "Format.h"
#include "Help.h"
#include "HostView.h"
#include "LoclView.h"
#include "Main.h"
#include "Prompts.h"
#include "URLForm.h"

namespace ferrowin {

void TfrmMain::ConnectURLDialog() {
  TfrmURL dialog(Prefs.URLs, this);
  dialog.DefaultPassword = Prefs.EMail;
  dialog.OnHelp = [](int context) { ShowHelp(context); };
  if (TLocalView* local = CurrentLocalView()) dialog.LocalFolder = QString::fromStdString(local->GetFolder());
  if (RunModal(dialog) != QDialog::Accepted) return;
  const TURLParts& parts = dialog.Parts();
  if (dialog.Type() == TURLType::HTTP) {
    if (dialog.SavePath().isEmpty()) return;
    // The item for the General queue is made here once the transfer queue exists:
    // IsHTTP, URL = dialog.URL(), DestFolder and DestName from dialog.SavePath().
    HostLog(this, Format("Not downloaded: HTTP downloads need the transfer queue (%s)", parts.FileName), ErrorColor);
    return;
  }
  ConnectSite(SiteOfURL(parts), parts.FileName);
}

}  // namespace ferrowin
