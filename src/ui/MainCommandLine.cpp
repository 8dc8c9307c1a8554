// The command line's second pass, on the first activation: the server it names, the files to
// receive and send, and a run with /x that ends the program when its transfers have ended.

#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>

#include "BatchRun.h"
#include "CommandLineRun.h"
#include "FTPCompSettings.h"
#include "HostView.h"
#include "LoclView.h"
#include "Main.h"
#include "PasswordForm.h"
#include "Transfer.h"
#include "TransferWindows.h"

namespace ferrowin {

bool TfrmMain::RunCommandLine() {
  if (Start.DebugTrace) TransferWindows->Progress->ShowPin(true);
  if (Start.ExitWhenDone) StartBatch();
  if (Start.Host.empty()) {
    if (Batch) Batch->NothingToDo("no host was given (/c)");
    return Batch != nullptr;
  }
  std::string password = Start.Password;
  if (password.empty() && Start.User == "anonymous") password = Prefs.EMail;
  if (password.empty() && !AskSessionPassword(password, Prefs.PromptForPass, this)) password.clear();
  TLocalView* local = CurrentLocalView();
  std::string folder = Start.LocalFolder.empty() ? (local ? local->GetFolder() : QDir::currentPath().toStdString())
                                                 : QFileInfo(QString::fromStdString(Start.LocalFolder)).absoluteFilePath().toStdString();
  std::string receive = Start.ReceiveList;
  bool connect = true;
  if (!receive.empty() && !HasWildcards(receive)) {
    for (const TTransferEntry& e : ReceiveEntries(Start, password, folder)) TransferList->General().AddEntry(e);
    receive.clear();
    connect = false;  // the host is forgotten: the queue makes its own connection
  }
  for (const TTransferEntry& e : SendEntries(Start, password, folder)) TransferList->General().AddEntry(e);
  if (!connect) return true;
  if (local) local->ChangeFolder(folder);
  THostView* view = CurrentHostView();
  SetHostCaption(*view, QString::fromStdString(Start.Host));
  if (Batch) Batch->WatchConnection(*view, !receive.empty());
  view->ConnectHost(Start.Host, Start.Port, receive, Start.HostFolder, Start.Account, password, Start.User);
  return true;
}

void TfrmMain::StartBatch() {
  Batch = new TBatchRun(*TransferList, this);
  // A run that must end: a connection retried without end would wait forever.
  if (EngineSettings().MaxAttempts == 0) EngineSettings().MaxAttempts = 3;
  Batch->OnLog = [this](const std::string& line) { HostLog(this, line, InfoColor); };
  if (!TBatchRun::HasScreen()) Batch->AnswerPromptsByDefault();
  Batch->OnEnded = [this](int status, const std::string& reason) {
    if (status != 0) {
      std::fprintf(stderr, "ferrowin: %s\n", reason.c_str());
      HostLog(this, reason, ErrorColor);
    }
    // Closed from the event loop: the notification that got us here returns first.
    QTimer::singleShot(0, this, [this] {
      BatchClosing = true;
      close();
    });
  };
}

int TfrmMain::ExitStatus() const { return Batch ? Batch->ExitStatus() : 0; }

}  // namespace ferrowin
