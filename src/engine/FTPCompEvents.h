#pragma once
// Notification records: what a worker reports to its component. The worker allocates one per
// notification and posts it; the component's dispatcher raises the event and releases it.

#include <cstdint>
#include <memory>
#include <string>

#include "FTPCompCommands.h"
#include "FTPCompSettings.h"
#include "Parsers.h"

namespace ferrowin {

// Message codes of the notifications, as posted to the component's window.
enum class TNotification : int {
  Abort = 1044,
  CantLogIn = 1045,
  CommandCompleted = 1046,
  Connect = 1047,
  DeleteSuccessful = 1048,
  Disconnect = 1049,
  Error = 1050,
  FolderReply = 1051,
  Log = 1052,
  LoggedIn = 1053,
  Progress = 1054,
  ProcessList = 1055,
  RenameSuccessful = 1056,
  UpdateFileSize = 1057,
};
inline constexpr int FirstNotification = 1044;
inline constexpr int LastNotification = 1057;

struct TEventRecord {
  virtual ~TEventRecord() = default;
};

struct TCantLogInData : TEventRecord {
  std::string Reply;     // the server's reply that ended the login ("" when none came)
  bool Refused = false;  // a definite refusal: no further attempt was made
};

struct TCommandCompletedEventData : TEventRecord {
  TCommandKind Command = TCommandKind::None;
  bool Success = false;
  bool Aborted = false;
};

struct TDeleteSuccessfulEventData : TEventRecord {
  std::string FileName;
};

struct TErrorData : TEventRecord {
  std::int32_t Code = 0;
  std::string Desc;
};

enum class TFolderReplyType : std::uint8_t { CurrentFolder = 0, Changed = 1, Created = 2, Removed = 3 };

struct TFolderEventData : TEventRecord {
  std::string Folder;
  TFolderReplyType ReplyType = TFolderReplyType::CurrentFolder;
  bool Result = false;
};

struct TLogData : TEventRecord {
  std::string Message;
  TColor Color = InfoColor;
};

struct TProcessListData : TEventRecord {
  std::string Folder;
  std::unique_ptr<TListingEntries> List;  // passes to the handler
};

enum class TProgressKind : std::uint8_t { Start = 0, Progress = 1, End = 2 };

struct TProgressData : TEventRecord {
  TProgressKind Kind = TProgressKind::Start;
  bool IsFile = true;  // false while a listing is received
  std::int64_t Bytes = 0;
};

struct TRenameSuccessfulEventData : TEventRecord {
  std::string OldName;
  std::string NewName;
};

struct TUpdateFileSizeEventData : TEventRecord {
  std::string FileName;
  std::int64_t NewSize = 0;
};

}  // namespace ferrowin
