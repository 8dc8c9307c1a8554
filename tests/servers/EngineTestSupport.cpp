#include "EngineTestSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "FTPCompThread.h"
#include "FTPUtils.h"
#include "MessageWindow.h"

namespace ferrowin::test {

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  // In short slices: done() may watch something other than the messages (a server's record).
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left <= std::chrono::milliseconds(0)) return false;
    TMessagePump::Default().ProcessUntil(done, std::min(left, std::chrono::milliseconds(20)));
  }
  return true;
}

TEventRecorder::TEventRecorder(TFTPComponent& c) {
  auto add = [this](std::string event) { Events.push_back(std::move(event)); };
  c.OnAbort = [add](TFTPComponent&) { add("Abort"); };
  c.OnCantLogIn = [add](TFTPComponent&) { add("CantLogIn"); };
  c.OnConnect = [add](TFTPComponent&) { add("Connect"); };
  c.OnDisconnect = [add](TFTPComponent&) { add("Disconnect"); };
  c.OnLoggedIn = [add](TFTPComponent&) { add("LoggedIn"); };
  c.OnCommandCompleted = [add](TFTPComponent&, TCommandKind kind, bool success, bool aborted) {
    add("CommandCompleted " + std::string(CommandName(kind)) + " " + (success ? "1" : "0") + " " +
        (aborted ? "1" : "0"));
  };
  c.OnDeleteSuccessful = [add](TFTPComponent&, const std::string& name) { add("DeleteSuccessful " + name); };
  c.OnError = [add](TFTPComponent&, int code, const std::string& desc) {
    add("Error " + std::to_string(code) + " " + desc);
  };
  c.OnFolderReply = [add](TFTPComponent&, const std::string& folder, TFolderReplyType type, bool result) {
    add("FolderReply " + folder + " " + std::to_string(static_cast<int>(type)) + " " + (result ? "1" : "0"));
  };
  c.OnLog = [this](TFTPComponent&, const std::string& message, TColor color) { Log.push_back({message, color}); };
  c.OnProcessList = [this, add](TFTPComponent&, const std::string& folder, std::unique_ptr<TListingEntries>& list) {
    add("ProcessList " + folder + " " + std::to_string(list ? list->size() : 0));
    Listings.push_back(list ? std::move(*list) : TListingEntries{});
    list.reset();
  };
  c.OnProgress = [add](TFTPComponent&, TProgressKind kind, std::int64_t bytes, bool isFile) {
    add("Progress " + std::to_string(static_cast<int>(kind)) + " " + std::to_string(bytes) + " " +
        (isFile ? "1" : "0"));
  };
  c.OnRenameSuccessful = [add](TFTPComponent&, const std::string& oldName, const std::string& newName) {
    add("RenameSuccessful " + oldName + " " + newName);
  };
  c.OnUpdateFileSize = [add](TFTPComponent&, const std::string& name, std::int64_t size) {
    add("UpdateFileSize " + name + " " + std::to_string(size));
  };
}

bool TEventRecorder::Has(const std::string& event) const { return Count(event) > 0; }

int TEventRecorder::Count(const std::string& event) const {
  return static_cast<int>(std::count(Events.begin(), Events.end(), event));
}

int TEventRecorder::CountPrefix(const std::string& prefix) const { return static_cast<int>(Matching(prefix).size()); }

std::vector<std::string> TEventRecorder::Matching(const std::string& prefix) const {
  std::vector<std::string> out;
  for (const auto& e : Events)
    if (e.rfind(prefix, 0) == 0) out.push_back(e);
  return out;
}

bool TEventRecorder::LogHas(const std::string& text) const {
  return std::any_of(Log.begin(), Log.end(), [&](const TLogLine& l) { return l.Message.find(text) != std::string::npos; });
}

bool TEventRecorder::LogHasLine(const std::string& text, TColor color) const {
  return std::any_of(Log.begin(), Log.end(), [&](const TLogLine& l) { return l.Message == text && l.Color == color; });
}

bool TEventRecorder::WaitCompleted(int count, std::chrono::milliseconds timeout) {
  return PumpUntil([&] { return CountPrefix("CommandCompleted") >= count; }, timeout);
}

std::string TEventRecorder::LastCompleted() const {
  auto all = Matching("CommandCompleted");
  return all.empty() ? "" : all.back();
}

void TEngineTest::SetUp() {
  ::setenv("FERROWIN_HOME", Home.Path().c_str(), 1);
  auto& s = EngineSettings();
  s.Ping = true;
  s.QuickDisconnect = false;
  s.TimeOut = 10000;
  s.RetryDelay = 5;
  s.MaxAttempts = 3;
  s.MachineListings = true;
}

void TEngineTest::TearDown() {
  // Components are gone by now; their workers finish what they were doing.
  EXPECT_TRUE(TFTPThread::WaitForWorkers(std::chrono::seconds(15))) << "a worker outlived its test";
  TMessagePump::Default().ProcessMessages(std::chrono::milliseconds(0));
  SetDebugTrace(false);
}

TClient::TClient(int port, const std::string& user, const std::string& password, bool owned) {
  static const int owner = 0;
  Component = std::make_unique<TFTPComponent>(owned ? &owner : nullptr);
  Component->SetHost("127.0.0.1");
  Component->Port = port;
  Component->User = user;
  Component->Password = password;
  Events = std::make_unique<TEventRecorder>(*Component);
}

void TClient::Login(int completions) {
  Component->Login();
  ASSERT_TRUE(Events->WaitCompleted(completions)) << "login did not complete";
}

}  // namespace ferrowin::test

namespace ferrowin::test {

std::string Json(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c >= 0x7f) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      out += escape;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string Send(const std::string& line) { return Action("send", Json(line)); }
std::string Action(const std::string& key, const std::string& jsonValue) {
  return "{" + Json(key) + ": " + jsonValue + "}";
}

namespace {
std::string JoinArray(const std::vector<std::string>& items) {
  std::string out = "[";
  for (std::size_t i = 0; i < items.size(); ++i) out += (i ? ", " : "") + items[i];
  return out + "]";
}
}  // namespace

TScript& TScript::On(const std::string& match, std::vector<std::string> actions, int times) {
  std::string rule = "{\"match\": " + Json(match) + ", \"actions\": " + JoinArray(actions);
  if (times >= 0) rule += ", \"times\": " + std::to_string(times);
  Rules.push_back(rule + "}");
  return *this;
}

TScript& TScript::StandardLogin() {
  Reply("USER .*", "331 Password required.");
  Reply("PASS .*", "230 Logged in.");
  Reply("SYST", "215 UNIX Type: L8");
  Reply("REST 1", "350 Restarting at 1.");
  Reply("REST 0", "350 Restarting at 0.");
  Reply("TYPE .*", "200 Type set.");
  Reply("NOOP", "200 NOOP ok.");
  return On("QUIT", {Send("221 Goodbye."), Action("close", "true")});
}

TScript& TScript::Greeting(std::vector<std::string> actions) {
  OnConnect = std::move(actions);
  return *this;
}

std::string TScript::ToJson() const {
  return "{\"on_connect\": " + JoinArray(OnConnect) + ", \"rules\": " + JoinArray(Rules) + "}";
}

}  // namespace ferrowin::test
