#include "TransferProgressText.h"

#include <cmath>

#include "Format.h"
#include "Transfer.h"

namespace ferrowin {

std::string TransferTimeText(std::int64_t seconds) {
  if (seconds < 0) seconds = 0;
  if (seconds < 3600) return Format("%d:%0.2d", seconds / 60, seconds % 60);
  return Format("%d:%0.2d:%0.2d", seconds / 3600, seconds / 60 % 60, seconds % 60);
}

std::string TransferSpeedText(std::int64_t bytesPerSecond) {
  if (bytesPerSecond <= 1023) return Format("%d Bytes", bytesPerSecond);
  const auto hundredths = static_cast<std::int64_t>(std::llround(static_cast<double>(bytesPerSecond) * 100.0 / 1024.0));
  return Format("%d.%0.2d KB", hundredths / 100, hundredths % 100);
}

std::int64_t RemainingSeconds(std::int64_t elapsed, std::int64_t done, std::int64_t left) {
  if (done <= 0) return -1;
  return std::llround(static_cast<double>(elapsed) * static_cast<double>(left) / static_cast<double>(done));
}

TProgressTexts ProgressTexts(const TTransferItem& item, const TTransferItems& queue, std::uint32_t itemMs,
                             std::uint32_t queueMs) {
  TProgressTexts t;
  const std::int64_t pending = queue.StateCount[isPending];
  t.FileName = item.SourceName;
  t.FileBytes = Format("%d of %d bytes copied", item.BytesDone, item.Size);
  t.FileBar = item.PercentDone();
  const std::int64_t e = itemMs / 1000;
  t.FileElapsed = TransferTimeText(e) + " elapsed";
  t.FileRemaining = TransferTimeText(RemainingSeconds(e, item.BytesDone, item.Size - item.BytesDone)) + " remaining";
  t.FileCount = Format("File %d of %d", queue.DoneCount + 1, pending + queue.DoneCount + 1);
  t.TotalBytes = Format("%d of %d bytes copied", queue.BytesDone, queue.BytesDone + queue.BytesLeft);
  t.TotalBar = queue.PercentDone();
  const std::int64_t total = queueMs / 1000;
  t.TotalElapsed = TransferTimeText(total) + " elapsed";
  const std::string remaining = TransferTimeText(RemainingSeconds(total, queue.BytesDone, queue.BytesLeft));
  t.TotalRemaining = remaining + " remaining";
  t.Speed = TransferSpeedText(total > 0 ? queue.BytesDone / total : 0);
  t.Long = Format("%d%% Transferred (file %d/%d), %s remaining at %s/sec - Ferrowin", t.TotalBar, queue.DoneCount + 1,
                  pending + queue.DoneCount + 1, remaining, t.Speed);
  t.Caption = Format("%d%% Transferred (%s/sec) - Ferrowin", t.TotalBar, t.Speed);
  return t;
}

std::string BusyStatusText(const TTransferItem& item) {
  return Format("%d bytes copied, %d%% done", item.BytesDone, item.PercentDone());
}

std::string StateText(const TTransferItem& item) {
  switch (item.State) {
    case isPending: return item.IsUpload ? "Upload Pending" : "Download Pending";
    case isDone: return "Done";
    case isCancelled: return "Cancelled";
    case isError: return "Aborted due to Error";
    default: return "";
  }
}

}  // namespace ferrowin
