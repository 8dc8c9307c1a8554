// What a transfer request does with an entry already at its destination: skip it, resume
// it or replace it, asking the user as the preferences say.

#include <QApplication>

#include "HostView.h"
#include "Options.h"
#include "Transfer.h"
#include "TransferPrompts.h"

namespace ferrowin {

namespace {

bool IsAsciiName(const TPreferences& p, const std::string& name) {
  const std::size_t dot = name.rfind('.');
  return dot != std::string::npos && HasFileType(p.FileTypes, std::string_view(name).substr(dot));
}

std::int64_t DecideResume(const TPreferences& p, TRequestMemory& memory, const TExistingEntry& e) {
  std::int64_t offset = e.DestSize;
  bool ask = p.ConfirmRestarts && !memory.RestartAnswered;
  if (IsAsciiName(p, e.Name) && p.TryToResume == 1) {
    offset = 0;  // text files are sent again whole
    ask = false;
  } else if (memory.RestartAnswered && !memory.RestartYesToAll) {
    offset = 0;
  }
  if (!ask) return offset;
  TfrmRestart prompt(e.Name, QApplication::activeWindow());
  const QMessageBox::StandardButton answer = prompt.Ask();
  if (answer == QMessageBox::YesToAll || answer == QMessageBox::NoToAll) {
    memory.RestartAnswered = true;
    memory.RestartYesToAll = answer == QMessageBox::YesToAll;
  }
  switch (answer) {
    case QMessageBox::Yes:
    case QMessageBox::YesToAll: return offset;
    case QMessageBox::No:
    case QMessageBox::NoToAll: return 0;
    default: return SkipEntry;
  }
}

std::int64_t DecideOverwrite(TRequestMemory& memory, const TExistingEntry& e) {
  if (memory.OverwriteAnswered) return memory.OverwriteYesToAll ? 0 : SkipEntry;
  TfrmOverwrite prompt(e.Name, e.DestSize, e.DestDate, e.SourceSize, e.SourceDate, QApplication::activeWindow());
  const QMessageBox::StandardButton answer = prompt.Ask();
  if (answer == QMessageBox::YesToAll || answer == QMessageBox::NoToAll) {
    memory.OverwriteAnswered = true;
    memory.OverwriteYesToAll = answer == QMessageBox::YesToAll;
  }
  switch (answer) {
    case QMessageBox::Retry: return e.DestSize < e.SourceSize ? e.DestSize : 0;
    case QMessageBox::Yes:
    case QMessageBox::YesToAll: return 0;
    default: return SkipEntry;
  }
}

}  // namespace

std::int64_t TTransferItemsList::DecideExisting(TRequestMemory& memory, const TExistingEntry& e) {
  if (!e.Exists) return 0;
  const TPreferences defaults;
  const TPreferences& p = Prefs ? *Prefs : defaults;
  if (p.NoXferOlder && e.SourceSize == e.DestSize && e.SourceDate <= e.DestDate) return SkipEntry;
  if (e.DestSize < e.SourceSize && p.TryToResume > 0 && e.CanResume) return DecideResume(p, memory, e);
  if (p.ConfirmOverwrites && e.DestSize > 0) return DecideOverwrite(memory, e);
  return 0;
}

bool TTransferItemsList::ConfirmDelete(int count, const std::string& firstName, bool isFolder) {
  TfrmConfirm prompt(count, firstName, isFolder, QApplication::activeWindow());
  return prompt.Ask() == QMessageBox::Yes;
}

TTransferQueue* TTransferItemsList::CreateQueue(THostView& view, const std::string& caption) {
  TTransferItems& queue = CreateQueue(caption, Prefs && Prefs->SingleConnectionsOnly ? &view : nullptr);
  queue.View = &view;
  return &queue;
}

}  // namespace ferrowin
