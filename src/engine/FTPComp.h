#pragma once
// TFTPComponent: one FTP connection as the rest of the program sees it. It lives on the
// user-interface thread, turns each request into a queued command for its worker, and
// raises the worker's notifications as events on the user-interface thread.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FTPCompCommands.h"
#include "FTPCompEvents.h"
#include "FTPCompSettings.h"
#include "TlsSession.h"

namespace ferrowin {

class TFTPComponent;
class TFTPThread;
class TMessageWindow;
struct TConnectionShared;

// An event slot: a std::function that also tells the worker, without a lock, whether it is
// set, because the worker only posts a notification that somebody handles.
template <typename... Args>
class TEvent {
 public:
  using TFunction = std::function<void(Args...)>;

  TEvent& operator=(TFunction function) {
    Function = std::move(function);
    if (Mask) {
      if (Function) Mask->fetch_or(1u << Bit);
      else Mask->fetch_and(~(1u << Bit));
    }
    return *this;
  }
  explicit operator bool() const { return static_cast<bool>(Function); }
  // The handler itself, for whoever takes the event over for a while and calls it on.
  [[nodiscard]] const TFunction& Get() const { return Function; }
  void operator()(Args... args) const {
    if (Function) Function(args...);
  }
  void Bind(std::atomic<std::uint32_t>* mask, int bit) {
    Mask = mask;
    Bit = bit;
  }

 private:
  TFunction Function;
  std::atomic<std::uint32_t>* Mask = nullptr;
  int Bit = 0;
};

enum class TTransferType : int { Auto = 0, ASCII = 1, Binary = 2, EBCDIC = 3, Local = 4 };

// Where an exception escaping an event handler goes (the user interface makes it a red log
// line). The default writes it to stderr.
void SetApplicationExceptionHandler(std::function<void(const std::exception&)> handler);

class TFTPComponent {
 public:
  // A component with an owner (a view) is a browsing connection; without one it is a
  // transfer connection, which skips the resume probe and logs out without QUIT.
  explicit TFTPComponent(const void* owner = nullptr);
  ~TFTPComponent();
  TFTPComponent(const TFTPComponent&) = delete;
  TFTPComponent& operator=(const TFTPComponent&) = delete;

  // Connection settings.
  int IdleSeconds = 0;
  int FirewallKind = 0;  // 0 Site, 1 Proxy, 2 User with login, 3 User without login
  std::string FirewallHost;
  int FirewallPort = 21;
  std::string FirewallUser;
  std::string FirewallPassword;
  int Port = 21;
  std::string User;
  std::string Password;
  std::string Account;
  TEncryption Encryption = TEncryption::Plain;  // through a firewall: TLS with the firewall
  bool VerifyCertificate = true;                // false: any certificate is taken (said in red)

  [[nodiscard]] std::string Host() const;
  void SetHost(const std::string& host);
  [[nodiscard]] bool Passive() const;
  void SetPassive(bool passive);
  [[nodiscard]] bool CanResume() const;
  void SetCanResume(bool canResume);
  [[nodiscard]] int ServerType() const;
  void SetServerType(int serverType);
  [[nodiscard]] bool LoggedIn() const { return IsLoggedIn; }
  // The server's FEAT reply of the last login, its lines joined by LF ("" when it refused FEAT).
  [[nodiscard]] std::string FeatReply() const;
  // How names are shown and sent when the server does not speak UTF-8: "" or "Auto", or a
  // character set name ("ISO-8859-1"). Read at each login.
  [[nodiscard]] std::string CharacterSet() const;
  void SetCharacterSet(const std::string& charset);
  [[nodiscard]] const void* Owner() const { return OwnerRef; }
  // Why the last login failed, as of the OnCantLogIn event: the server's reply that ended it
  // (its lines joined by LF; "" when none came, as when the connection failed), and whether it
  // was a definite refusal such as a wrong password, after which no attempt was repeated.
  [[nodiscard]] const std::string& LoginReply() const { return CantLogInReply; }
  [[nodiscard]] bool LoginRefused() const { return CantLogInRefused; }

  // Events, raised on the user-interface thread in the order the worker posted them.
  TEvent<TFTPComponent&> OnAbort;
  TEvent<TFTPComponent&> OnCantLogIn;
  TEvent<TFTPComponent&, TCommandKind, bool, bool> OnCommandCompleted;  // Command, Success, Aborted
  TEvent<TFTPComponent&> OnConnect;
  TEvent<TFTPComponent&, const std::string&> OnDeleteSuccessful;  // FileName
  TEvent<TFTPComponent&> OnDisconnect;
  TEvent<TFTPComponent&, int, const std::string&> OnError;  // Code, Desc
  TEvent<TFTPComponent&, const std::string&, TFolderReplyType, bool> OnFolderReply;  // Folder, ReplyType, Result
  TEvent<TFTPComponent&, const std::string&, TColor> OnLog;                         // aMessage, aColor
  TEvent<TFTPComponent&> OnLoggedIn;
  // Folder, List: the handler takes the list over.
  TEvent<TFTPComponent&, const std::string&, std::unique_ptr<TListingEntries>&> OnProcessList;
  TEvent<TFTPComponent&, TProgressKind, std::int64_t, bool> OnProgress;  // Kind, Bytes, IsFile
  TEvent<TFTPComponent&, const std::string&, const std::string&> OnRenameSuccessful;  // OldName, NewName
  TEvent<TFTPComponent&, const std::string&, std::int64_t> OnUpdateFileSize;  // FileName, NewSize

  // Operations: each queues commands and returns at once.
  void FirewallLogin();
  void Login();
  void Logout();
  void GetCurrentFolder();
  void SetCurrentFolder(const std::string& folder);
  void List(const std::string& folder, const std::string& mask);
  void Download(const std::string& remoteFolder, const std::string& remotePath, const std::string& localPath,
                TTransferType type);
  void Upload(const std::string& localPath, const std::string& remoteFolder, const std::string& remotePath,
              TTransferType type);
  void ResumeDownload(const std::string& remoteFolder, const std::string& remotePath, const std::string& localPath,
                      TTransferType type, std::int64_t restart);
  void ResumeUpload(const std::string& localPath, const std::string& remoteFolder, const std::string& remotePath,
                    TTransferType type, std::int64_t restart);
  void Delete(const std::string& fileName);
  void Rename(const std::string& oldName, const std::string& newName);
  void CreateFolder(const std::string& name);
  void RemoveFolder(const std::string& name);
  void NoOp();
  void ChangeAttributes(const std::string& fileName, std::uint16_t attributes);
  void GetHTTP(const std::string& url, const std::string& localPath);
  void Abort();

  [[nodiscard]] bool Connected() const;  // the control connection is open
  [[nodiscard]] bool Busy() const;       // a command is running

  // Every live component, oldest first.
  static const std::vector<TFTPComponent*>& FTPComponents();

 private:
  void AddCommand(TCommandKind kind, TCommandParams values);
  void Dispatch(int code, std::unique_ptr<TEventRecord> record);
  void Raise(TNotification code, TEventRecord* record);
  [[nodiscard]] std::shared_ptr<TFTPThread> Thread() const;
  static void KeepAliveTick();

  const void* OwnerRef;
  std::shared_ptr<TConnectionShared> Shared;
  std::unique_ptr<TMessageWindow> WindowHandle;
  bool IsLoggedIn = false;
  std::string CantLogInReply;
  bool CantLogInRefused = false;
};

// The permission digits of SITE CHMOD for an attribute set: 644 for rw-r--r--.
int AttributesToMode(std::uint16_t attributes);

}  // namespace ferrowin
