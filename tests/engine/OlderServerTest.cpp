// A server that knows nothing newer than the classic commands (no FEAT) sees the dialogue it
// always saw, line for line, through a whole session.

#include "EngineTestSupport.h"

namespace ferrowin::test {
namespace {

using Lines = std::vector<std::string>;

class OlderServer : public TEngineTest {};

TEST_F(OlderServer, SeesTheSameDialogueLineForLine) {
  TTempDir local;
  WriteFile(local.File("up.txt"), "upload");
  const std::string pasv = Action("pasv", Json("227 Entering Passive Mode ({})."));
  TScript script;
  script.Reply("PWD", "257 \"/\" is current.").Reply("CWD .*", "250 Ok.");
  script.On("PASV", {pasv});
  script.On("LIST.*", {Send("150 Here."), Action("data", Json("-rw-r--r-- 1 u g 4 Jan 05 10:30 a.txt\r\n")),
                       Send("226 Done.")});
  script.On("RETR .*", {Send("150 Here."), Action("data", Json("data")), Send("226 Done.")});
  script.On("STOR .*", {Send("150 Go."), Action("data_recv", Json(local.File("got.txt"))), Send("226 Done.")});
  script.Reply("RNFR .*", "350 Ready.").Reply("RNTO .*", "250 Renamed.").Reply("DELE .*", "250 Deleted.");
  script.Reply("MKD .*", "257 Made.").Reply("RMD .*", "250 Removed.").Reply("SITE CHMOD .*", "200 Done.");
  TFakeFtpServer server(script.StandardLogin().ToJson());
  TClient client(server.Port(), "joe", "pw");
  client.Login();
  auto& c = *client.Component;
  c.GetCurrentFolder();
  c.SetCurrentFolder("/pub");
  c.List("/pub", "*.*");
  c.Download("", "/pub/a.txt", local.File("a.txt"), TTransferType::Binary);
  c.Upload(local.File("up.txt"), "", "/pub/up.txt", TTransferType::Binary);
  c.Rename("a.txt", "b.txt");
  c.Delete("b.txt");
  c.CreateFolder("new");
  c.RemoveFolder("new");
  c.ChangeAttributes("up.txt", 0x12C);
  c.NoOp();
  ASSERT_TRUE(client.Events->WaitCompleted(14));  // Download and Upload set the type first
  c.Logout();
  ASSERT_TRUE(client.Events->WaitCompleted(15));
  const Lines received = server.Received();
  // As recorded from the client before it knew FEAT; FEAT itself is the one new line.
  EXPECT_EQ(received, (Lines{"USER joe", "PASS pw", "FEAT", "SYST", "TYPE I", "REST 1", "REST 0", "TYPE A", "PWD",
                             "CWD /pub", "PASV", "LIST", "TYPE I", "PASV", "RETR /pub/a.txt", "PASV",
                             "STOR /pub/up.txt", "RNFR a.txt", "RNTO b.txt", "DELE b.txt", "MKD new", "RMD new",
                             "SITE CHMOD 644 up.txt", "NOOP", "QUIT"}));
  EXPECT_EQ(client.Events->LastCompleted(), "CommandCompleted Logout 1 0");
}

}  // namespace
}  // namespace ferrowin::test
