#pragma once
// The vocabulary between a component and its worker: command kinds, queued commands and the
// queue that carries them to the worker thread.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace ferrowin {

enum class TCommandKind : std::uint8_t {
  None = 0,
  FirewallLogin = 1,
  Login = 2,
  Logout = 3,
  GetCurrentFolder = 4,
  SetCurrentFolder = 5,
  List = 6,
  Download = 7,
  Upload = 8,
  ResumeDownload = 9,
  ResumeUpload = 10,
  Delete = 11,
  Rename = 12,
  CreateFolder = 13,
  RemoveFolder = 14,
  NoOp = 15,
  SetType = 16,
  ChangeAttributes = 17,
  GetHTTP = 18,
};

// The display name used in traces: "Login", "Get HTTP", ...
std::string_view CommandName(TCommandKind kind);

// Parameters travel as text in a fixed order per kind; empty means "no parameter list".
using TCommandParams = std::vector<std::string>;

struct TCommandItem {
  TCommandItem(TCommandKind kind, TCommandParams params) : Kind(kind), Params(std::move(params)) {}

  TCommandKind Kind;
  TCommandParams Params;

  // Parameter i, or "" when the list is shorter.
  [[nodiscard]] const std::string& Param(std::size_t i) const;
};

// First-in-first-out queue from the user-interface thread to one worker. The wake-up works as
// an auto-reset event: one signal per push, so a waiter that finds nothing just waits again.
class TCommandQueue {
 public:
  void Push(TCommandKind kind, TCommandParams params);
  // Drops every waiting item; the one the worker is running is not in the queue.
  void Clear();
  // Takes the oldest item, waiting for one; false once terminated with nothing left.
  [[nodiscard]] bool Pop(std::unique_ptr<TCommandItem>& item);
  // Makes a waiting Pop return; items still queued are still handed out.
  void Terminate();
  [[nodiscard]] bool Terminated() const;
  [[nodiscard]] std::size_t Count() const;

 private:
  void Signal();

  mutable std::mutex Lock;
  std::condition_variable Event;
  bool Signalled = false;
  bool IsTerminated = false;
  std::deque<std::unique_ptr<TCommandItem>> Items;
};

}  // namespace ferrowin
