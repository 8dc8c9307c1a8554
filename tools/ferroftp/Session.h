#pragma once
// One ferroftp session: a component driven step by step from its events on the engine's own
// message pump, with the options the subcommands share.

#include <functional>
#include <string>
#include <vector>

#include "FTPComp.h"
#include "FTPUtils.h"

namespace ferrowin {

struct TSessionOptions {
  bool Active = false;
  bool Resume = false;
  bool Ascii = false;
  bool Log = false;
  bool PlainList = false;   // LIST even where the server offers MLSD
  TEncryption Encryption = TEncryption::Plain;  // --tls, --tls-optional (ftps:// URLs: implicit)
  bool Insecure = false;
  int TimeoutSeconds = -1;  // -1: the engine's default
  int Retries = 0;          // connection attempts after the first
  std::vector<std::string> Arguments;
};

// Reads the options named in `allowed` ("--active", "--timeout", ...); false on bad usage,
// with the reason in `error`.
bool ParseSessionOptions(int argc, char** argv, const std::vector<std::string>& allowed, TSessionOptions& options,
                         std::string& error);

class TSession {
 public:
  // browsing: a connection that detects the server type (for listings); else a transfer
  // connection, as the transfer queue makes them.
  TSession(const TSessionOptions& options, bool browsing);

  // Splits an ftp:// URL into the component's host, port, user and password.
  bool SetURL(const std::string& url, TURLParts& parts);
  // Logs in, runs `step` (which queues one command of `kind`), logs out. Returns the exit
  // code: 0 when the command succeeded. On failure LastError says what failed ("what" names
  // the command: "download of /a.bin") and why.
  int Run(TCommandKind kind, const std::string& what, const std::function<void(TFTPComponent&)>& step);
  // Why the last command failed: the server's refusal when there is one, else the error.
  [[nodiscard]] std::string Reason() const;

  TFTPComponent Component;
  std::string LastError;
  std::vector<std::string> ReplyLines;  // reply lines logged, in order

 private:
  [[nodiscard]] std::string LoginFailure() const;
  void ForgetFailures();

  TSessionOptions Options;
  bool ConnectSeen = false;
  int ErrorCode = 0;
  std::string ErrorText;
  std::string Refusal;  // the last reply from 400 on, as the server sent it
  std::string LastRedLine;
};

}  // namespace ferrowin
