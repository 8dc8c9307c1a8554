#include "FTPComp.h"

#include <algorithm>
#include <iostream>

#include "FTPCompThread.h"
#include "MessageWindow.h"
#include "TlsTrust.h"

namespace ferrowin {
namespace {

constexpr auto KeepAlivePeriod = std::chrono::milliseconds(10000);
constexpr int KeepAliveIdleSeconds = 30;

std::vector<TFTPComponent*>& ComponentList() {
  static std::vector<TFTPComponent*> list;
  return list;
}

std::function<void(const std::exception&)>& ExceptionHandler() {
  static std::function<void(const std::exception&)> handler = [](const std::exception& e) {
    std::cerr << "Ferrowin: " << e.what() << '\n';
  };
  return handler;
}

int Bit(TNotification code) { return static_cast<int>(code) - FirstNotification; }

// Parameters as one line for the trace: items holding blanks, commas or quotes are quoted.
std::string CommaText(const TCommandParams& params) {
  if (params.empty()) return "<none>";
  std::string out;
  for (const std::string& p : params) {
    if (!out.empty()) out += ',';
    bool quote = p.empty() || p.find_first_of(" ,\"\t") != std::string::npos;
    if (!quote) {
      out += p;
      continue;
    }
    out += '"';
    for (char c : p) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    out += '"';
  }
  return out;
}

// The trace never shows a password: what is traced is a copy with the passwords replaced.
TCommandParams Masked(TCommandKind kind, TCommandParams params) {
  auto mask = [&](std::size_t i, const char* text) {
    if (i < params.size()) params[i] = text;
  };
  if (kind == TCommandKind::Login) mask(3, "<pass>");
  if (kind == TCommandKind::FirewallLogin) {
    mask(4, "<fwpass>");
    mask(8, "<pass>");
  }
  return params;
}

}  // namespace

void SetApplicationExceptionHandler(std::function<void(const std::exception&)> handler) {
  ExceptionHandler() = std::move(handler);
}

int AttributesToMode(std::uint16_t a) {
  static constexpr int values[] = {400, 200, 100, 40, 20, 10, 4, 2, 1};
  int mode = 0;
  for (int i = 0; i < 9; ++i)
    if (a & (1u << (i + 2))) mode += values[i];
  return mode;
}

TFTPComponent::TFTPComponent(const void* owner)
    : OwnerRef(owner), Shared(std::make_shared<TConnectionShared>(owner != nullptr)) {
  DebugTrace("Adding new FTP Component...");
  OnAbort.Bind(&Shared->Handlers, Bit(TNotification::Abort));
  OnCantLogIn.Bind(&Shared->Handlers, Bit(TNotification::CantLogIn));
  OnCommandCompleted.Bind(&Shared->Handlers, Bit(TNotification::CommandCompleted));
  OnConnect.Bind(&Shared->Handlers, Bit(TNotification::Connect));
  OnDeleteSuccessful.Bind(&Shared->Handlers, Bit(TNotification::DeleteSuccessful));
  OnDisconnect.Bind(&Shared->Handlers, Bit(TNotification::Disconnect));
  OnError.Bind(&Shared->Handlers, Bit(TNotification::Error));
  OnFolderReply.Bind(&Shared->Handlers, Bit(TNotification::FolderReply));
  OnLog.Bind(&Shared->Handlers, Bit(TNotification::Log));
  OnLoggedIn.Bind(&Shared->Handlers, Bit(TNotification::LoggedIn));
  OnProcessList.Bind(&Shared->Handlers, Bit(TNotification::ProcessList));
  OnProgress.Bind(&Shared->Handlers, Bit(TNotification::Progress));
  OnRenameSuccessful.Bind(&Shared->Handlers, Bit(TNotification::RenameSuccessful));
  OnUpdateFileSize.Bind(&Shared->Handlers, Bit(TNotification::UpdateFileSize));

  WindowHandle = CreateMessageWindow();
  WindowHandle->OnMessage = [this](int code, std::unique_ptr<TEventRecord> record) {
    Dispatch(code, std::move(record));
  };
  WindowHandle->OnTimer = &TFTPComponent::KeepAliveTick;
  {
    std::lock_guard lock(Shared->Lock);
    Shared->Window = WindowHandle.get();
    Shared->Thread = std::make_shared<TFTPThread>(Shared);
    Shared->Thread->Start();
  }
  auto& list = ComponentList();
  if (list.empty()) WindowHandle->StartTimer(KeepAlivePeriod);
  list.push_back(this);
  DebugTrace(Format("Added new FTP Component, Count = %d", list.size()));
}

TFTPComponent::~TFTPComponent() {
  DebugTrace("Destroying FTP Component...");
  auto& list = ComponentList();
  const bool wasFirst = !list.empty() && list.front() == this;
  if (wasFirst) WindowHandle->StopTimer();
  if (auto thread = Thread()) {
    // Nobody waits for the running command any more; of what is queued only a logout runs.
    thread->Terminate();
    thread->Abort();
  }
  {
    // From here on the worker posts nowhere and reads no more of this component.
    std::lock_guard lock(Shared->Lock);
    Shared->Window = nullptr;
  }
  WindowHandle.reset();
  std::erase(list, this);
  DebugTrace(Format("Destroyed FTP Component, Count = %d", list.size()));
  if (wasFirst && !list.empty()) list.front()->WindowHandle->StartTimer(KeepAlivePeriod);
}

const std::vector<TFTPComponent*>& TFTPComponent::FTPComponents() { return ComponentList(); }

std::shared_ptr<TFTPThread> TFTPComponent::Thread() const {
  std::lock_guard lock(Shared->Lock);
  return Shared->Thread;
}

std::string TFTPComponent::Host() const {
  std::lock_guard lock(Shared->Lock);
  return Shared->Host;
}

void TFTPComponent::SetHost(const std::string& host) {
  std::lock_guard lock(Shared->Lock);
  Shared->Host = host;
}

bool TFTPComponent::Passive() const { return Shared->Passive; }
void TFTPComponent::SetPassive(bool passive) { Shared->Passive = passive; }
bool TFTPComponent::CanResume() const { return Shared->CanResume; }
void TFTPComponent::SetCanResume(bool canResume) { Shared->CanResume = canResume; }
int TFTPComponent::ServerType() const { return Shared->ServerType; }
void TFTPComponent::SetServerType(int serverType) { Shared->ServerType = serverType; }

bool TFTPComponent::Connected() const {
  auto thread = Thread();
  return thread && thread->ControlOpen();
}

bool TFTPComponent::Busy() const {
  auto thread = Thread();
  return thread && thread->Busy();
}

void TFTPComponent::AddCommand(TCommandKind kind, TCommandParams values) {
  IdleSeconds = 0;
  auto thread = Thread();
  if (!thread) return;
  if (values.size() == 1 && values[0].empty()) values.clear();
  if (DebugTraceOn())
    DebugTrace(Format("Host %s: Adding Command \"%s\", Parameters = %s", Host(), CommandName(kind),
                      CommaText(Masked(kind, values))));
  thread->Queue.Push(kind, std::move(values));
}

void TFTPComponent::FirewallLogin() {
  AddCommand(TCommandKind::FirewallLogin,
             {FirewallHost, std::to_string(FirewallPort), std::to_string(FirewallKind), FirewallUser,
              FirewallPassword, Host(), std::to_string(Port), User, Password, Account,
              std::to_string(static_cast<int>(Encryption)), VerifyCertificate ? "1" : "0"});
}

void TFTPComponent::Login() {
  AddCommand(TCommandKind::Login, {Host(), std::to_string(Port), User, Password, Account,
                                   std::to_string(static_cast<int>(Encryption)), VerifyCertificate ? "1" : "0"});
}

void TFTPComponent::Logout() {
  auto thread = Thread();
  if (!thread) return;
  thread->Queue.Clear();
  if (thread->Busy()) Abort();
  if (IsLoggedIn) AddCommand(TCommandKind::Logout, {});
}

void TFTPComponent::GetCurrentFolder() { AddCommand(TCommandKind::GetCurrentFolder, {}); }
void TFTPComponent::SetCurrentFolder(const std::string& folder) { AddCommand(TCommandKind::SetCurrentFolder, {folder}); }
void TFTPComponent::List(const std::string& folder, const std::string& mask) {
  AddCommand(TCommandKind::List, {folder, mask});
}

void TFTPComponent::Download(const std::string& remoteFolder, const std::string& remotePath,
                             const std::string& localPath, TTransferType type) {
  AddCommand(TCommandKind::SetType, {std::to_string(static_cast<int>(type))});
  AddCommand(TCommandKind::Download, {localPath, remotePath, remoteFolder});
}

void TFTPComponent::Upload(const std::string& localPath, const std::string& remoteFolder,
                           const std::string& remotePath, TTransferType type) {
  AddCommand(TCommandKind::SetType, {std::to_string(static_cast<int>(type))});
  AddCommand(TCommandKind::Upload, {localPath, remotePath, remoteFolder});
}

void TFTPComponent::ResumeDownload(const std::string& remoteFolder, const std::string& remotePath,
                                   const std::string& localPath, TTransferType type, std::int64_t restart) {
  AddCommand(TCommandKind::SetType, {std::to_string(static_cast<int>(type))});
  AddCommand(TCommandKind::ResumeDownload, {localPath, remotePath, remoteFolder, std::to_string(restart)});
}

void TFTPComponent::ResumeUpload(const std::string& localPath, const std::string& remoteFolder,
                                 const std::string& remotePath, TTransferType type, std::int64_t restart) {
  AddCommand(TCommandKind::SetType, {std::to_string(static_cast<int>(type))});
  AddCommand(TCommandKind::ResumeUpload, {localPath, remotePath, remoteFolder, std::to_string(restart)});
}

void TFTPComponent::Delete(const std::string& fileName) { AddCommand(TCommandKind::Delete, {fileName}); }
void TFTPComponent::Rename(const std::string& oldName, const std::string& newName) {
  AddCommand(TCommandKind::Rename, {oldName, newName});
}
void TFTPComponent::CreateFolder(const std::string& name) { AddCommand(TCommandKind::CreateFolder, {name}); }
void TFTPComponent::RemoveFolder(const std::string& name) { AddCommand(TCommandKind::RemoveFolder, {name}); }
void TFTPComponent::NoOp() { AddCommand(TCommandKind::NoOp, {}); }

void TFTPComponent::ChangeAttributes(const std::string& fileName, std::uint16_t attributes) {
  AddCommand(TCommandKind::ChangeAttributes, {std::to_string(AttributesToMode(attributes)), fileName});
}

void TFTPComponent::GetHTTP(const std::string& url, const std::string& localPath) {
  AddCommand(TCommandKind::GetHTTP, {url, localPath});
}

void TFTPComponent::Abort() {
  auto thread = Thread();
  if (!thread) return;
  DebugTrace(Format("Host %s: Abort", Host()));
  thread->Queue.Clear();
  thread->Abort();
}

void TFTPComponent::KeepAliveTick() {
  if (!EngineSettings().Ping) return;
  // A handler may destroy components, so walk a copy and re-check membership.
  const std::vector<TFTPComponent*> components = ComponentList();
  for (TFTPComponent* c : components) {
    if (std::find(ComponentList().begin(), ComponentList().end(), c) == ComponentList().end()) continue;
    c->IdleSeconds += 10;
    if (c->IdleSeconds > KeepAliveIdleSeconds && c->Connected() && c->IsLoggedIn && !c->Busy()) c->NoOp();
  }
}

void TFTPComponent::Dispatch(int code, std::unique_ptr<TEventRecord> record) {
  if (code == CertificateQuestionCode) return AnswerCertificateQuestion(record.get());
  if (code < FirstNotification || code > LastNotification) return;
  auto notification = static_cast<TNotification>(code);
  if (notification == TNotification::Disconnect) IsLoggedIn = false;
  if (notification == TNotification::LoggedIn) IsLoggedIn = true;
  if (auto* failure = dynamic_cast<TCantLogInData*>(record.get())) {
    CantLogInReply = failure->Reply;
    CantLogInRefused = failure->Refused;
  }
  try {
    Raise(notification, record.get());
  } catch (const std::exception& e) {
    if (ExceptionHandler()) ExceptionHandler()(e);
  }
}

void TFTPComponent::Raise(TNotification code, TEventRecord* record) {
  switch (code) {
    case TNotification::Abort: return OnAbort(*this);
    case TNotification::CantLogIn: return OnCantLogIn(*this);
    case TNotification::Connect: return OnConnect(*this);
    case TNotification::Disconnect: return OnDisconnect(*this);
    case TNotification::LoggedIn: return OnLoggedIn(*this);
    case TNotification::CommandCompleted: {
      auto* r = static_cast<TCommandCompletedEventData*>(record);
      return OnCommandCompleted(*this, r->Command, r->Success, r->Aborted);
    }
    case TNotification::DeleteSuccessful:
      return OnDeleteSuccessful(*this, static_cast<TDeleteSuccessfulEventData*>(record)->FileName);
    case TNotification::Error: {
      auto* r = static_cast<TErrorData*>(record);
      return OnError(*this, r->Code, r->Desc);
    }
    case TNotification::FolderReply: {
      auto* r = static_cast<TFolderEventData*>(record);
      return OnFolderReply(*this, r->Folder, r->ReplyType, r->Result);
    }
    case TNotification::Log: {
      auto* r = static_cast<TLogData*>(record);
      return OnLog(*this, r->Message, r->Color);
    }
    case TNotification::ProcessList: {
      auto* r = static_cast<TProcessListData*>(record);
      return OnProcessList(*this, r->Folder, r->List);
    }
    case TNotification::Progress: {
      auto* r = static_cast<TProgressData*>(record);
      return OnProgress(*this, r->Kind, r->Bytes, r->IsFile);
    }
    case TNotification::RenameSuccessful: {
      auto* r = static_cast<TRenameSuccessfulEventData*>(record);
      return OnRenameSuccessful(*this, r->OldName, r->NewName);
    }
    case TNotification::UpdateFileSize: {
      auto* r = static_cast<TUpdateFileSizeEventData*>(record);
      return OnUpdateFileSize(*this, r->FileName, r->NewSize);
    }
  }
}

}  // namespace ferrowin
