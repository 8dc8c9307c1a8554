// What the main-window tests share: connecting the window to the test server.
#pragma once

#include "HostView.h"
#include "Main.h"
#include "Manager.h"
#include "ViewTestSupport.h"

namespace ferrowin::test {

// Connects the window's current host tab to the server and waits for its first listing.
inline THostView& ConnectToTestServer(TfrmMain& window, const TPyFtpServer& server) {
  TSite site;
  site.Name = "Test";
  site.Host = "127.0.0.1";
  site.Port = server.Port();
  site.User = TPyFtpServer::UserName;
  site.Password = TPyFtpServer::Password;
  window.ConnectSite(site);
  THostView& view = *window.CurrentHostView();
  EXPECT_TRUE(WaitFor([&] {
    return view.Connected() && view.ListView()->ItemCount() > 0 && !view.Animating && !view.FTP().Busy();
  }));
  return view;
}

}  // namespace ferrowin::test
