#pragma once
// Logging a connection on, through the firewall of the preferences when they enable it and
// the site asks for it: the browsing connections and the transfer connections share this.

#include "FTPComp.h"
#include "Options.h"

namespace ferrowin {

inline void LogOn(TFTPComponent& c, const TPreferences* prefs, bool useFirewall) {
  if (!prefs || !prefs->FirewallEnabled || !useFirewall) return c.Login();
  c.FirewallKind = prefs->FirewallType;
  c.FirewallHost = prefs->FirewallHost;
  c.FirewallPort = prefs->FirewallPort;
  c.FirewallUser = prefs->FirewallUser;
  c.FirewallPassword = prefs->FirewallPassword;
  c.FirewallLogin();
}

}  // namespace ferrowin
