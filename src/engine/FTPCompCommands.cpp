#include "FTPCompCommands.h"

#include <array>

namespace ferrowin {

std::string_view CommandName(TCommandKind kind) {
  static constexpr std::array<std::string_view, 19> names = {
      "None",   "FirewallLogin",  "Login",          "Logout",       "GetCurrentFolder",
      "SetCurrentFolder", "List", "Download",       "Upload",       "ResumeDownload",
      "ResumeUpload",     "Delete", "Rename",       "CreateFolder", "RemoveFolder",
      "NoOp",             "SetType", "ChangeAttributes", "Get HTTP"};
  auto index = static_cast<std::size_t>(kind);
  return index < names.size() ? names[index] : std::string_view("None");
}

const std::string& TCommandItem::Param(std::size_t i) const {
  static const std::string empty;
  return i < Params.size() ? Params[i] : empty;
}

void TCommandQueue::Signal() {
  Signalled = true;
  Event.notify_one();
}

void TCommandQueue::Push(TCommandKind kind, TCommandParams params) {
  std::lock_guard lock(Lock);
  Items.push_back(std::make_unique<TCommandItem>(kind, std::move(params)));
  Signal();
}

void TCommandQueue::Clear() {
  std::deque<std::unique_ptr<TCommandItem>> dropped;
  {
    std::lock_guard lock(Lock);
    dropped.swap(Items);
  }
  // Released last to first, outside the lock.
  while (!dropped.empty()) dropped.pop_back();
}

bool TCommandQueue::Pop(std::unique_ptr<TCommandItem>& item) {
  std::unique_lock lock(Lock);
  for (;;) {
    if (!Items.empty()) {
      item = std::move(Items.front());
      Items.pop_front();
      return true;
    }
    if (IsTerminated) return false;
    Event.wait(lock, [this] { return Signalled; });
    Signalled = false;
  }
}

void TCommandQueue::Terminate() {
  std::lock_guard lock(Lock);
  IsTerminated = true;
  Signal();
}

bool TCommandQueue::Terminated() const {
  std::lock_guard lock(Lock);
  return IsTerminated;
}

std::size_t TCommandQueue::Count() const {
  std::lock_guard lock(Lock);
  return Items.size();
}

}  // namespace ferrowin
