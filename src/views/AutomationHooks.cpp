#include "AutomationHooks.h"

namespace ferrowin {
namespace {
bool RunsForClient = false;
}  // namespace

TAutomationHooks& AutomationHooks() {
  static TAutomationHooks hooks;
  return hooks;
}

bool AutomationServer() { return RunsForClient; }
void SetAutomationServer(bool on) { RunsForClient = on; }

}  // namespace ferrowin
