#include "Session.h"

#include <cstdlib>
#include <iostream>

#include "MessageWindow.h"

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
    }
  }
  return true;
}

TSession::TSession(const TSessionOptions& options, bool browsing)
    : Component(browsing ? this : nullptr), Options(options) {
  auto& settings = EngineSettings();
  if (options.TimeoutSeconds >= 0) settings.TimeOut = static_cast<std::uint32_t>(options.TimeoutSeconds) * 1000;
  if (options.Retries >= 0) settings.MaxAttempts = options.Retries;
  Component.SetPassive(!options.Active);
  Component.SetServerType(browsing ? 0 : 1);  // transfers need no listing parser
  // LoggedIn() follows the connection only while these two are handled.
  Component.OnLoggedIn = [](TFTPComponent&) {};
  Component.OnDisconnect = [](TFTPComponent&) {};
  Component.OnLog = [this](TFTPComponent&, const std::string& message, TColor color) {
    if (color == ReplyColor || color == ErrorColor) ReplyLines.push_back(message);
    if (color == ErrorColor) LastRedLine = message;
    if (Options.Log) std::cerr << ColourName(color) << ' ' << message << '\n';
  };
  Component.OnError = [this](TFTPComponent&, int code, const std::string& desc) {
    ErrorSeen = true;
    LastError = desc.empty() ? "error " + std::to_string(code) : desc;
  };
}

bool TSession::SetURL(const std::string& url, TURLParts& parts) {
  if (!ParseURL(url, "ferroftp@localhost", parts)) return false;
  Component.SetHost(parts.Host);
  Component.Port = static_cast<int>(parts.Port);
  Component.User = parts.User;
  Component.Password = parts.Password;
  return true;
}

int TSession::Run(TCommandKind kind, const std::function<void(TFTPComponent&)>& step) {
  bool done = false;
  bool loggedIn = false;
  bool succeeded = false;
  Component.OnCommandCompleted = [&](TFTPComponent& c, TCommandKind completed, bool success, bool) {
    if (completed == TCommandKind::Login || completed == TCommandKind::FirewallLogin) {
      loggedIn = success;
      if (!success) done = true;
      else step(c);
    } else if (completed == kind) {
      succeeded = succeeded || success;
      if (c.LoggedIn() && !c.Busy()) c.Logout();
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
  if (!loggedIn && LastError.empty()) LastError = "cannot log in";
  if (!succeeded && LastError.empty()) LastError = LastRedLine.empty() ? "command failed" : LastRedLine;
  return succeeded && !ErrorSeen ? 0 : 1;
}

}  // namespace ferrowin
