#pragma once
// Helpers for engine tests: an event recorder for a component, message pumping with a
// deadline, and a fixture that keeps each test's files and settings to itself.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FTPComp.h"
#include "ServerProcess.h"

namespace ferrowin::test {

// Runs the default message pump until done() or the time is up; returns done().
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(10));

struct TLogLine {
  std::string Message;
  TColor Color;
};

// Records every event of a component as a line of text ("Connect", "CommandCompleted Login 1 0",
// "Error 10061 Connection refused", ...) and every log line with its colour.
class TEventRecorder {
 public:
  explicit TEventRecorder(TFTPComponent& component);
  std::vector<std::string> Events;
  std::vector<TLogLine> Log;
  std::vector<TListingEntries> Listings;

  [[nodiscard]] bool Has(const std::string& event) const;
  [[nodiscard]] int Count(const std::string& event) const;
  // The number of events that start with prefix.
  [[nodiscard]] int CountPrefix(const std::string& prefix) const;
  [[nodiscard]] bool LogHas(const std::string& text) const;  // some log line contains text
  [[nodiscard]] bool LogHasLine(const std::string& text, TColor color) const;
  // Waits until `count` command completions have arrived.
  bool WaitCompleted(int count, std::chrono::milliseconds timeout = std::chrono::seconds(15));
  // The last completion ("CommandCompleted Login 1 0"), or "".
  [[nodiscard]] std::string LastCompleted() const;
  // Events that start with prefix, in order.
  [[nodiscard]] std::vector<std::string> Matching(const std::string& prefix) const;
};

// Gives each test its own FERROWIN_HOME, default engine settings, and waits at the end for
// every worker to finish, so none outlives the test.
class TEngineTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  TTempDir Home;
};

// A component set up for a server on 127.0.0.1 with its events recorded. The component is
// destroyed before its recorder.
struct TClient {
  TClient(int port, const std::string& user, const std::string& password, bool owned = true);
  void Login(int completions = 1);  // queues Login and waits for its completion
  std::unique_ptr<TEventRecorder> Events;
  std::unique_ptr<TFTPComponent> Component;
};

}  // namespace ferrowin::test

namespace ferrowin::test {

// Building dialogues for the scripted server.
std::string Json(const std::string& text);  // a quoted JSON string
std::string Send(const std::string& line);  // one reply line
std::string Action(const std::string& key, const std::string& jsonValue);  // {"key": value}

class TScript {
 public:
  // Rules are tried in the order they were added.
  TScript& On(const std::string& match, std::vector<std::string> actions, int times = -1);
  TScript& Reply(const std::string& match, const std::string& line) { return On(match, {Send(line)}); }
  // USER/PASS/SYST/REST/TYPE/QUIT answered like a plain UNIX server.
  TScript& StandardLogin();
  TScript& Greeting(std::vector<std::string> actions);
  [[nodiscard]] std::string ToJson() const;

  std::vector<std::string> OnConnect = {Send("220 Fake FTP server ready.")};
  std::vector<std::string> Rules;
};

}  // namespace ferrowin::test
