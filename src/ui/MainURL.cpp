// Connect to URL: the dialog, then an ftp connection in the current (or a new) host tab, or
// an http download.

#include <QFileInfo>

#include "FTPUtils.h"
#include "Help.h"
#include "HostView.h"
#include "LoclView.h"
#include "Main.h"
#include "Prompts.h"
#include "Transfer.h"
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
    const QFileInfo target(dialog.SavePath());
    auto item = std::make_unique<TTransferItem>(TTransferEntry{});
    item->IsHTTP = true;
    item->SetURL(dialog.URL().toStdString());
    item->DestFolder = target.absolutePath().toStdString() + "/";
    item->DestName = target.fileName().toStdString();
    TransferList->General().Add(item);
    return;
  }
  ConnectSite(dialog.Site(), parts.FileName);
}

}  // namespace ferrowin
