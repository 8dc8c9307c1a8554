#pragma once
// The texts of the progress window for one item of one queue: times, speed, byte counts, and
// the long line that goes to the status bar and, while the window is hidden, the title.

#include <cstdint>
#include <string>

namespace ferrowin {

class TTransferItem;
class TTransferItems;

// "m:ss" below an hour, else "h:mm:ss"; negative reads as 0.
[[nodiscard]] std::string TransferTimeText(std::int64_t seconds);
// "1023 Bytes", "1.00 KB" (hundredths of a KiB, rounded).
[[nodiscard]] std::string TransferSpeedText(std::int64_t bytesPerSecond);
// elapsed × left / done in whole seconds; -1 when nothing is done yet.
[[nodiscard]] std::int64_t RemainingSeconds(std::int64_t elapsed, std::int64_t done, std::int64_t left);

struct TProgressTexts {
  std::string FileName;
  std::string FileBytes;
  std::string FileElapsed;
  std::string FileRemaining;
  std::string FileCount;
  std::string TotalBytes;
  std::string TotalElapsed;
  std::string TotalRemaining;
  std::string Speed;
  std::string Long;     // the title or status-bar line
  std::string Caption;  // the shown window's caption
  int FileBar = 0;
  int TotalBar = 0;
};

// itemMs and queueMs: the item's and the batch's elapsed milliseconds.
[[nodiscard]] TProgressTexts ProgressTexts(const TTransferItem& item, const TTransferItems& queue,
                                           std::uint32_t itemMs, std::uint32_t queueMs);

// The manager's status column for a busy item: "%d bytes copied, %d%% done".
[[nodiscard]] std::string BusyStatusText(const TTransferItem& item);
// The manager's status column for any state ("" for a busy item).
[[nodiscard]] std::string StateText(const TTransferItem& item);

}  // namespace ferrowin
