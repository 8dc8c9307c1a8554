#include "Session.h"

#include <cctype>
#include <cstdlib>
#include <iostream>

#include "FTPCompErrors.h"
#include "MessageWindow.h"
#include "ReplyReader.h"

namespace ferrowin {
namespace {

const char* ColourName(TColor color) {
  switch (color) {
    case CommandColor: return "green";
    case ReplyColor: return "blue";
    case ErrorColor: return "red";
    default: return "black";
  }
}

bool ParseCount(const char* text, int& value) {
  char* end = nullptr;
  long n = std::strtol(text, &end, 10);
  if (!*text || *end || n < 0 || n > 1000000) return false;
  value = static_cast<int>(n);
  return true;
}

// An error text on one line with single blanks ("Authoritative      : Host not found").
std::string CleanText(const std::string& text) {
  std::string out;
  for (char c : text) {
    const bool blank = std::isspace(static_cast<unsigned char>(c)) != 0;
    if (blank && (out.empty() || out.back() == ' ')) continue;
    out += blank ? ' ' : c;
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  std::size_t colon;
  while ((colon = out.find(" :")) != std::string::npos) out.erase(colon, 1);
  return out;
}

}  // namespace

bool ParseSessionOptions(int argc, char** argv, const std::vector<std::string>& allowed, TSessionOptions& o,
                         std::string& error) {
  auto isAllowed = [&](const std::string& name) {
    for (const auto& a : allowed)
      if (a == name) return true;
    return false;
  };
  for (int i = 0; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.size() < 2 || arg[0] != '-' || arg[1] != '-') {
      o.Arguments.push_back(arg);
      continue;
    }
    if (!isAllowed(arg)) {
      error = "unknown option " + arg;
      return false;
    }
    if (arg == "--timeout" || arg == "--retries") {
      // The value is taken whatever it looks like, so it is never read as an option itself.
      if (++i == argc || !ParseCount(argv[i], arg == "--timeout" ? o.TimeoutSeconds : o.Retries)) {
        error = arg + " needs a whole number";
        return false;
      }
    } else if (arg == "--active") {
      o.Active = true;
    } else if (arg == "--resume") {
      o.Resume = true;
    } else if (arg == "--ascii") {
      o.Ascii = true;
    } else if (arg == "--log") {
      o.Log = true;
    } else if (arg == "--list") {
      o.PlainList = true;
    } else if (arg == "--tls" || arg == "--tls-optional") {
      o.Encryption = arg == "--tls" ? TEncryption::Explicit : TEncryption::Optional;
    } else if (arg == "--insecure") {
      o.Insecure = true;
    }
  }
  return true;
}

TSession::TSession(const TSessionOptions& options, bool browsing)
    : Component(browsing ? this : nullptr), Options(options) {
  auto& settings = EngineSettings();
  if (options.TimeoutSeconds >= 0) settings.TimeOut = static_cast<std::uint32_t>(options.TimeoutSeconds) * 1000;
  // One attempt unless asked: a refused password sent again only gets the address banned.
  settings.MaxAttempts = 1 + options.Retries;
  Component.SetPassive(!options.Active);
  Component.SetServerType(browsing ? 0 : 1);  // transfers need no listing parser
  // LoggedIn() follows the connection only while these two are handled.
  Component.OnLoggedIn = [](TFTPComponent&) {};
  Component.OnDisconnect = [](TFTPComponent&) {};
  Component.OnConnect = [this](TFTPComponent&) { ConnectSeen = true; };
  Component.OnLog = [this](TFTPComponent&, const std::string& message, TColor color) {
    if (color == ReplyColor || color == ErrorColor) ReplyLines.push_back(message);
    if (color == ErrorColor) (ReplyCode(message) >= 400 ? Refusal : LastRedLine) = message;
    if (Options.Log) std::cerr << ColourName(color) << ' ' << message << '\n';
  };
  Component.OnError = [this](TFTPComponent&, int code, const std::string& desc) {
    ErrorCode = code;
    ErrorText = CleanText(desc);
  };
}

bool TSession::SetURL(const std::string& url, TURLParts& parts) {
  if (!ParseURL(url, "ferroftp@localhost", parts)) return false;
  Component.SetHost(parts.Host);
  Component.Port = static_cast<int>(parts.Port);
  Component.User = parts.User;
  Component.Password = parts.Password;
  Component.Encryption = parts.ImplicitTls ? TEncryption::Implicit : Options.Encryption;
  Component.VerifyCertificate = !Options.Insecure;
  if (Options.Insecure && Component.Encryption != TEncryption::Plain)
    std::cerr << "ferroftp: --insecure: the server's certificate is not verified\n";
  return true;
}

void TSession::ForgetFailures() {
  ErrorCode = 0;
  ErrorText.clear();
  Refusal.clear();
  LastRedLine.clear();
}

std::string TSession::Reason() const {
  if (!Refusal.empty()) return Refusal;
  if (!ErrorText.empty()) return ErrorText;
  return LastRedLine.empty() ? "failed" : LastRedLine;
}

std::string TSession::LoginFailure() const {
  const std::string host = Component.Host();
  if (ErrorCode >= wsa::HostNotFound && ErrorCode <= wsa::NoData) {
    // "Authoritative : Host not found": the part after the colon says it.
    return "host lookup failed for " + host + " (" + CleanText(ErrorText.substr(ErrorText.rfind(':') + 1)) + ")";
  }
  if (!ConnectSeen)
    return "cannot connect to " + host + ":" + std::to_string(Component.Port) +
           (ErrorText.empty() ? "" : ": " + ErrorText);
  return "login to " + host + " failed: " + Reason();
}

int TSession::Run(TCommandKind kind, const std::string& what, const std::function<void(TFTPComponent&)>& step) {
  bool done = false;
  bool loggedIn = false;
  bool succeeded = false;
  Component.OnCommandCompleted = [&](TFTPComponent& c, TCommandKind completed, bool success, bool) {
    if (completed == TCommandKind::Login || completed == TCommandKind::FirewallLogin) {
      loggedIn = success;
      if (!success) return void(done = true);
      ForgetFailures();  // what went wrong on the way in is not the command's failure
      step(c);
    } else if (completed == kind) {
      // A transfer repeated from inside its folder reports twice; either may succeed.
      succeeded = succeeded || success;
      if (c.Busy()) return;
      if (c.LoggedIn()) c.Logout();
      else done = true;
    } else if (completed == TCommandKind::Logout) {
      done = true;
    }
  };
  if (kind == TCommandKind::GetHTTP) {
    loggedIn = true;
    step(Component);
  } else {
    Component.Login();
  }
  TMessagePump::Default().ProcessUntil([&] { return done; }, std::chrono::hours(24 * 365));
  if (!loggedIn) LastError = LoginFailure();
  else if (!succeeded) LastError = what + " failed: " + Reason();
  return succeeded ? 0 : 1;
}

}  // namespace ferrowin
