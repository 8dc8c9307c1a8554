// Commands on the control connection against the scripted server: the exact lines sent,
// the fallbacks to older command forms, and the notifications.

#include "EngineTestSupport.h"

namespace ferrowin::test {
namespace {

using Lines = std::vector<std::string>;

class ControlCommands : public TEngineTest {
 protected:
  void TearDown() override {
    Client.reset();
    Server.reset();
    TEngineTest::TearDown();
  }
  // Logs in on a server with these extra rules, runs the command, and returns what the
  // server received after the login.
  Lines Run(TScript script, const std::function<void(TFTPComponent&)>& command, bool owned = true) {
    Server = std::make_unique<TFakeFtpServer>(script.StandardLogin().ToJson());
    Client = std::make_unique<TClient>(Server->Port(), "joe", "pw", owned);
    Client->Login();
    command(*Client->Component);
    EXPECT_TRUE(Client->Events->WaitCompleted(2));
    Lines received = Server->Received();
    std::size_t loginLines = owned ? 8 : 4;  // USER PASS FEAT SYST (TYPE I, REST 1, REST 0, TYPE A)
    return Lines(received.begin() + std::min(loginLines, received.size()), received.end());
  }
  std::unique_ptr<TFakeFtpServer> Server;
  std::unique_ptr<TClient> Client;
};

TEST_F(ControlCommands, FolderCommandsAndTheirFallbacks) {
  struct {
    const char* Name;
    TScript Script;
    std::function<void(TFTPComponent&)> Command;
    Lines Sent;
    std::string Reply;
  } cases[] = {
      {"PWD", TScript().Reply("PWD", "257 \"/home/joe\" is current."), [](auto& c) { c.GetCurrentFolder(); },
       {"PWD"}, "FolderReply /home/joe 0 1"},
      {"PWD with a doubled quote", TScript().Reply("PWD", "257 \"/a \"\"quoted\"\" dir\" is current."),
       [](auto& c) { c.GetCurrentFolder(); }, {"PWD"}, "FolderReply /a \"quoted\" dir 0 1"},
      {"PWD unknown: XPWD", TScript().Reply("PWD", "500 Unknown.").Reply("XPWD", "257 \"/x\" ok."),
       [](auto& c) { c.GetCurrentFolder(); }, {"PWD", "XPWD"}, "FolderReply /x 0 1"},
      {"CWD", TScript().Reply("CWD .*", "250 Ok."), [](auto& c) { c.SetCurrentFolder("/pub"); }, {"CWD /pub"},
       "FolderReply /pub 1 1"},
      {"CWD refused: no XCWD", TScript().Reply("CWD .*", "550 No such folder."),
       [](auto& c) { c.SetCurrentFolder("/nope"); }, {"CWD /nope"}, "FolderReply /nope 1 0"},
      {"MKD unknown: XMKD", TScript().Reply("MKD .*", "502 Not implemented.").Reply("XMKD .*", "257 Made."),
       [](auto& c) { c.CreateFolder("new"); }, {"MKD new", "XMKD new"}, "FolderReply new 2 1"},
      {"RMD", TScript().Reply("RMD .*", "250 Removed."), [](auto& c) { c.RemoveFolder("old"); }, {"RMD old"},
       "FolderReply old 3 1"},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(Run(c.Script, c.Command), c.Sent);
    EXPECT_EQ(Client->Events->Matching("FolderReply"), Lines{c.Reply});
  }
}

TEST_F(ControlCommands, FileCommands) {
  struct {
    const char* Name;
    TScript Script;
    std::function<void(TFTPComponent&)> Command;
    Lines Sent;
    Lines Events;  // the command's own events, with its completion
  } cases[] = {
      {"delete", TScript().Reply("DELE .*", "250 Deleted."), [](auto& c) { c.Delete("a.txt"); }, {"DELE a.txt"},
       {"DeleteSuccessful a.txt", "CommandCompleted Delete 1 0"}},
      {"delete refused", TScript().Reply("DELE .*", "550 Denied."), [](auto& c) { c.Delete("a.txt"); },
       {"DELE a.txt"}, {"CommandCompleted Delete 0 0"}},
      {"rename", TScript().Reply("RNFR .*", "350 Ready.").Reply("RNTO .*", "250 Renamed."),
       [](auto& c) { c.Rename("a", "b"); }, {"RNFR a", "RNTO b"},
       {"RenameSuccessful a b", "CommandCompleted Rename 1 0"}},
      {"RNFR refused: no RNTO", TScript().Reply("RNFR .*", "550 No such file."),
       [](auto& c) { c.Rename("a", "b"); }, {"RNFR a"}, {"CommandCompleted Rename 0 0"}},
      {"chmod", TScript().Reply("SITE CHMOD .*", "200 Done."), [](auto& c) { c.ChangeAttributes("f", 0x12C); },
       {"SITE CHMOD 644 f"}, {"CommandCompleted ChangeAttributes 1 0"}},
      {"chmod refused with 501: plain CHMOD",
       TScript().Reply("SITE CHMOD .*", "501 Unknown SITE command.").Reply("CHMOD .*", "200 Done."),
       [](auto& c) { c.ChangeAttributes("f", 0x12C); }, {"SITE CHMOD 644 f", "CHMOD 644 f"},
       {"CommandCompleted ChangeAttributes 1 0"}},
      {"chmod refused with 450: no retry", TScript().Reply("SITE CHMOD .*", "450 Busy."),
       [](auto& c) { c.ChangeAttributes("f", 0x12C); }, {"SITE CHMOD 644 f"},
       {"CommandCompleted ChangeAttributes 0 0"}},
      {"noop", TScript(), [](auto& c) { c.NoOp(); }, {"NOOP"}, {"CommandCompleted NoOp 1 0"}},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(Run(c.Script, c.Command), c.Sent);
    auto& all = Client->Events->Events;
    auto login = std::find(all.begin(), all.end(), "CommandCompleted Login 1 0");
    ASSERT_NE(login, all.end());
    EXPECT_EQ(Lines(login + 1, all.end()), c.Events);
  }
}

// The letter of each transfer type, sent only when the connection is not in that type
// already (a login leaves it in ASCII).
TEST_F(ControlCommands, TransferTypeLetters) {
  const struct {
    std::vector<int> Types;
    Lines Sent;
  } cases[] = {
      {{0}, {"TYPE I"}},          {{2}, {"TYPE I"}}, {{3}, {"TYPE E"}},
      {{4}, {"TYPE L"}},          {{1}, {}},         {{0, 1}, {"TYPE I", "TYPE A"}},
      {{0, 0, 2}, {"TYPE I"}},
  };
  TTempDir local;
  TScript script;
  script.Reply("TYPE .*", "200 Type set.")
      .On("PASV", {Action("pasv", Json("227 Entering Passive Mode ({})."))})
      .On("RETR x", {Send("150 Here it comes."), Action("data", Json("abc")), Send("226 Done.")});
  for (const auto& c : cases) {
    auto sent = Run(script, [&](TFTPComponent& ftp) {
      for (int type : c.Types) ftp.Download("", "x", local.File("x"), static_cast<TTransferType>(type));
      ASSERT_TRUE(Client->Events->WaitCompleted(static_cast<int>(1 + 2 * c.Types.size())));  // login, then type + file each
    });
    std::erase_if(sent, [](const std::string& line) { return line.rfind("TYPE ", 0) != 0; });
    EXPECT_EQ(sent, c.Sent) << c.Types.size() << " downloads, first type " << c.Types[0];
  }
}

TEST_F(ControlCommands, Logout) {
  struct {
    const char* Name;
    bool Quick;
    bool Owned;
    Lines Sent;
  } cases[] = {
      {"browsing connection", false, true, {"QUIT"}},
      {"quick disconnect", true, true, {}},
      {"transfer connection", false, false, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    EngineSettings().QuickDisconnect = c.Quick;
    EXPECT_EQ(Run(TScript(), [](TFTPComponent& c) { c.Logout(); }, c.Owned), c.Sent);
    EXPECT_TRUE(Client->Events->Has("Disconnect"));
    EXPECT_EQ(Client->Events->LastCompleted(), "CommandCompleted Logout 1 0");
    EXPECT_FALSE(Client->Component->LoggedIn());
    EXPECT_FALSE(Client->Component->Connected());
  }
}

}  // namespace
}  // namespace ferrowin::test
