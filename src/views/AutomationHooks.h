#pragma once
// What the views, the transfer queues and the main window tell an automation client, and
// whether this copy runs for one. The automation object installs the hooks; empty = no client.

#include <functional>
#include <string>

namespace ferrowin {

struct TAutomationHooks {
  std::function<void()> OnConnected;
  std::function<void()> OnDisconnected;
  std::function<void()> OnLoggedIn;
  std::function<void()> OnCantLogin;
  std::function<void(const std::string& line)> OnLog;
  std::function<void(const std::string& localFileName)> OnItemCompleted;
  std::function<void()> OnAllItemsCompleted;
};

// The process-wide hooks (one automation object per copy).
[[nodiscard]] TAutomationHooks& AutomationHooks();

// Raises a hook when it is set.
template <typename... TArgs>
void RaiseAutomation(std::function<void(TArgs...)> TAutomationHooks::*hook, const auto&... args) {
  if (const auto& f = AutomationHooks().*hook) f(args...);
}

// The copy was started for an automation client: the main window is its open/save dialog.
[[nodiscard]] bool AutomationServer();
void SetAutomationServer(bool on);

}  // namespace ferrowin
