#pragma once
// What the views need of the transfer queues, which sit above them: the queue layer installs
// its services here (SetTransferServices), so a view builds transfers without including it.

#include <QPointer>
#include <cstdint>
#include <string>

#include "DateTime.h"
#include "FTPComp.h"

namespace ferrowin {

class TCustomView;
class THostView;
struct TPreferences;

// The transfer type for a name under the TransferMode preference (Auto: ASCII for the
// extensions of the ASCII list, else binary).
[[nodiscard]] TTransferType TransferTypeOf(const TPreferences* prefs, const std::string& name);

// Whether a name from a server may become a local file or folder name: not empty, ".", "..",
// no "/" and no NUL, and not longer than the system's name length.
[[nodiscard]] bool IsSafeEntryName(const std::string& name);

// The fields a view fills for one transfer; the queue's item carries them on.
struct TTransferEntry {
  std::string Host;
  std::uint32_t Port = 21;
  std::string UserID;
  std::string Password;
  std::string Account;
  std::string SourceFolder;  // with its trailing separator
  std::string DestFolder;    // with its trailing separator
  std::string SourceName;
  std::string DestName;      // empty: SourceName
  std::int64_t Size = 0;
  TDateTime FileDate = 0;
  std::int64_t RestartAt = 0;
  bool IsUpload = false;
  bool IsFolder = false;
  // Views may close while their transfers wait: a closed view reads as null.
  QPointer<TCustomView> SourceView;
  QPointer<TCustomView> DestView;
  bool IsHTTP = false;
  std::string URL;
  bool UseFirewall = false;
  std::string CharacterSet;  // of the site's names ("" = Auto)
  TEncryption Encryption = TEncryption::Plain;
};

// What one transfer request has answered for all of its files.
struct TRequestMemory {
  bool RestartAnswered = false;
  bool RestartYesToAll = false;
  bool OverwriteAnswered = false;
  bool OverwriteYesToAll = false;
};

// One entry of a request meeting what is already at its destination.
struct TExistingEntry {
  std::string Name;  // at the destination
  std::int64_t SourceSize = 0;
  TDateTime SourceDate = 0;
  bool Exists = false;
  std::int64_t DestSize = 0;
  TDateTime DestDate = 0;
  bool CanResume = false;  // the browsing connection's server resumes transfers
};
inline constexpr std::int64_t SkipEntry = -1;

// A tab's queue as its host view uses it.
class TTransferQueue {
 public:
  virtual ~TTransferQueue() = default;
  // The index of the new item, or -1 when the queue refused it (a duplicate).
  virtual int AddEntry(const TTransferEntry& entry) = 0;
  virtual int ProcessNext() = 0;
  virtual void CancelPending() = 0;
  virtual bool SkipBusy() = 0;  // false when no item runs
  // The view is going: the queue ends with it.
  virtual void Release() = 0;
};

class TTransferServices {
 public:
  virtual ~TTransferServices() = default;
  virtual TTransferQueue* CreateQueue(THostView& view, const std::string& caption) = 0;
  // The resume offset for the entry, or SkipEntry; may ask the user.
  virtual std::int64_t DecideExisting(TRequestMemory& memory, const TExistingEntry& entry) = 0;
  virtual bool ConfirmDelete(int count, const std::string& firstName, bool isFolder) = 0;
};

// Null until the queue layer is installed: the views then transfer nothing.
void SetTransferServices(TTransferServices* services);
[[nodiscard]] TTransferServices* TransferServices();

}  // namespace ferrowin
