#include "ViewerFetch.h"

#include <cstdio>
#include <filesystem>

#include "FTPComp.h"

namespace ferrowin {

TPreviewFetch::TPreviewFetch(std::int64_t limit) : Limit(limit) {}

TPreviewFetch::~TPreviewFetch() { Cancel(); Drop(); }

bool TPreviewFetch::CanReuse(const TURLParts& url) const {
  // Commands queue on a connection: one still finishing the last fetch takes the next after it.
  return Connection && Connection->Connected() && Connection->LoggedIn() && Server.Host == url.Host &&
         Server.Port == url.Port && Server.User == url.User && Server.Password == url.Password;
}

void TPreviewFetch::Fetch(const TURLParts& url, const std::string& localPath) {
  Cancel();
  Remote = url.Folder + url.FileName;
  Local = localPath;
  Error.clear();
  TooBig = false;
  Running = true;
  if (CanReuse(url)) return Connection->Download("", Remote, Local, TTransferType::Binary);
  Drop();
  Connect(url);
}

void TPreviewFetch::Connect(const TURLParts& url) {
  Server = url;
  Connection = std::make_unique<TFTPComponent>();
  TFTPComponent& c = *Connection;
  c.SetHost(url.Host);
  c.Port = static_cast<int>(url.Port);
  c.User = url.User;
  c.Password = url.Password;
  c.SetServerType(1);  // "Not Relevant": one file needs no detection
  c.OnCommandCompleted = [this](TFTPComponent&, TCommandKind command, bool success, bool aborted) {
    Completed(command, success, aborted);
  };
  c.OnError = [this](TFTPComponent&, int, const std::string& message) { Error = message; };
  // Only notifications with a handler are posted, and LoggedIn() (reuse, QUIT at the end)
  // follows these two.
  c.OnLoggedIn = [](TFTPComponent&) {};
  c.OnDisconnect = [](TFTPComponent&) {};
  c.OnProgress = [this](TFTPComponent& x, TProgressKind kind, std::int64_t bytes, bool) {
    if (kind == TProgressKind::End || bytes <= Limit || TooBig) return;
    TooBig = true;  // stopped soon after the bound; the copy is removed and the browser shows none of it
    x.Abort();
  };
  if (OnPrepare && OnPrepare(c)) c.FirewallLogin();
  else c.Login();
}

void TPreviewFetch::Completed(TCommandKind command, bool success, bool aborted) {
  if (!Running) return;
  if (command == TCommandKind::Login || command == TCommandKind::FirewallLogin) {
    if (success) return Connection->Download("", Remote, Local, TTransferType::Binary);
    std::string reason = Connection->LoginReply().empty() ? Error : Connection->LoginReply();
    return Finish(false, false, reason.empty() ? "cannot log in" : reason);
  }
  if (command != TCommandKind::Download) return;
  std::error_code ec;
  const auto size = std::filesystem::file_size(Local, ec);
  if (TooBig || (!ec && static_cast<std::int64_t>(size) > Limit)) return Finish(false, true, {});
  if (success && !aborted && !ec) return Finish(true, false, {});
  Finish(false, false, Error.empty() ? "the transfer failed" : Error);
}

void TPreviewFetch::Finish(bool success, bool tooLarge, const std::string& reason) {
  Running = false;
  if (!success) std::remove(Local.c_str());
  if (OnDone) OnDone(success, tooLarge, reason);
}

void TPreviewFetch::Cancel() {
  if (!Running) return;
  Running = false;
  Drop();  // an abort would leave the connection's state to guess; a new one is certain
  std::remove(Local.c_str());
}

void TPreviewFetch::Drop() {
  // Destroyed at once, without a QUIT that would wait on a control connection in the middle
  // of an aborted transfer.
  Connection.reset();
}

}  // namespace ferrowin
