#pragma once
// The main window's transfer windows: the progress window, the transfer manager, and the
// status-bar panel they write to.

#include <memory>

#include "TranMan.h"
#include "TransferProgress.h"

class QLabel;

namespace ferrowin {

struct TTransferWindows {
  std::unique_ptr<TfrmTransfer> Progress;
  std::unique_ptr<TfrmTransferMngr> Manager;
  QLabel* StatusPanel = nullptr;  // panel 1 of the status bar
};

}  // namespace ferrowin
