// Commands that need only the control connection: folders, delete, rename, keep-alive,
// transfer type, permissions and logout. Several fall back to an older form of the command
// when the server does not know the standard one.

#include "FTPCompThread.h"

namespace ferrowin {
namespace {

// The folder in a PWD reply: the text from the first double quote, in which a doubled quote
// stands for one; empty when the reply has no quote.
std::string QuotedFolder(const std::string& reply) {
  std::size_t start = reply.find('"');
  if (start == std::string::npos) return {};
  std::string folder;
  for (std::size_t i = start + 1; i < reply.size(); ++i) {
    if (reply[i] == '"') {
      if (i + 1 < reply.size() && reply[i + 1] == '"') ++i;
      else break;
    }
    folder += reply[i];
  }
  return folder;
}

}  // namespace

bool TFTPThread::FolderCommand(const std::string& command, TFolderReplyType type) {
  int r = Command(command);
  bool ok = r == 2;
  if (r == 5 && (LastCode == 500 || LastCode == 502)) ok = Command("X" + command) == 2;
  std::string folder = type == TFolderReplyType::CurrentFolder ? Names.Decode(QuotedFolder(LastReply))
                                                               : (command.size() > 4 ? command.substr(4) : "");
  NotifyFolderReply(folder, type, ok);
  return ok;
}

bool TFTPThread::DoLogout() {
  bool ok = true;
  // A transfer connection, or a quick disconnect, just closes.
  if (!EngineSettings().QuickDisconnect && Shared->HasOwner) ok = Command("QUIT") == 2;
  NotifyDisconnect();
  return ok;
}

bool TFTPThread::DoDelete(const TCommandItem& item) {
  const std::string& name = item.Param(0);
  bool ok = Command("DELE " + name) == 2;
  if (ok) NotifyDeleteSuccessful(name);
  return ok;
}

bool TFTPThread::DoRename(const TCommandItem& item) {
  const std::string& oldName = item.Param(0);
  const std::string& newName = item.Param(1);
  bool ok = Command("RNFR " + oldName) == 3 && Command("RNTO " + newName) == 2;
  if (ok) NotifyRenameSuccessful(oldName, newName);
  return ok;
}

bool TFTPThread::DoNoOp() {
  Quiet = true;
  bool ok = Command("NOOP") == 2;
  Quiet = false;
  return ok;
}

bool TFTPThread::DoSetType(const TCommandItem& item) {
  static constexpr const char* letters[] = {"I", "A", "I", "E", "L"};
  const int type = NumberOr(item.Param(0), 0);
  const char* letter = letters[type <= 4 ? type : 0];
  // The server keeps the type for the connection: a queue of many files asks for it once.
  const bool ok = *letter == TypeLetter || Command(std::string("TYPE ") + letter) == 2;
  if (ok) {
    AsciiType = *letter == 'A';
    TypeLetter = *letter;
  }
  return ok;  // a refused TYPE leaves the server's type as it was
}

bool TFTPThread::DoChangeAttributes(const TCommandItem& item) {
  const std::string arguments = item.Param(0) + " " + item.Param(1);
  bool ok = Command("SITE CHMOD " + arguments) == 2;
  if (!ok && LastCode >= 500) ok = Command("CHMOD " + arguments) == 2;
  return ok;
}

}  // namespace ferrowin
