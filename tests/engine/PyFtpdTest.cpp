// The engine against a real FTP server (pyftpdlib): logging in and every control command.

#include <filesystem>
#include <fstream>

#include "EngineTestSupport.h"

namespace ferrowin::test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

class RealServer : public TEngineTest {
 protected:
  TPyFtpServer Server;
};

TEST_F(RealServer, LogsInWithAUserAndAnonymously) {
  for (auto [user, password] : {std::pair{TPyFtpServer::UserName, TPyFtpServer::Password},
                                {"anonymous", "guest@example.org"}}) {
    SCOPED_TRACE(user);
    TClient client(Server.Port(), user, password);
    client.Login();
    EXPECT_EQ(client.Events->Events, (Lines{"Connect", "LoggedIn", "CommandCompleted Login 1 0"}));
    EXPECT_EQ(client.Component->ServerType(), 11);
    EXPECT_TRUE(client.Events->LogHasLine("\r\nServer Type: UNIX (standard)", InfoColor));
    // This server refuses REST in ASCII, the type right after login: the probe asks in binary.
    EXPECT_TRUE(client.Component->CanResume());
    EXPECT_TRUE(client.Events->LogHasLine("\r\nServer can resume broken downloads\r\n", InfoColor));
    EXPECT_TRUE(client.Component->LoggedIn());
  }
}

TEST_F(RealServer, ControlCommandsWithTheirNotifications) {
  std::ofstream(Server.RootFile("old.txt")) << "hello";
  std::ofstream(Server.RootFile("gone.txt")) << "bye";
  TClient client(Server.Port(), TPyFtpServer::UserName, TPyFtpServer::Password);
  client.Login();
  auto& c = *client.Component;
  c.CreateFolder("sub");
  c.SetCurrentFolder("/sub");
  c.GetCurrentFolder();
  c.SetCurrentFolder("/");
  c.Rename("old.txt", "new.txt");
  c.ChangeAttributes("new.txt", 0x12C);
  c.Delete("gone.txt");
  c.RemoveFolder("sub");
  c.NoOp();
  ASSERT_TRUE(client.Events->WaitCompleted(10));
  c.Logout();  // drops whatever is still queued, so it comes last
  ASSERT_TRUE(client.Events->WaitCompleted(11));
  EXPECT_EQ(client.Events->Matching("CommandCompleted"),
            (Lines{"CommandCompleted Login 1 0", "CommandCompleted CreateFolder 1 0",
                   "CommandCompleted SetCurrentFolder 1 0", "CommandCompleted GetCurrentFolder 1 0",
                   "CommandCompleted SetCurrentFolder 1 0", "CommandCompleted Rename 1 0",
                   "CommandCompleted ChangeAttributes 1 0", "CommandCompleted Delete 1 0",
                   "CommandCompleted RemoveFolder 1 0", "CommandCompleted NoOp 1 0", "CommandCompleted Logout 1 0"}));
  EXPECT_EQ(client.Events->Matching("FolderReply"),
            (Lines{"FolderReply sub 2 1", "FolderReply /sub 1 1", "FolderReply /sub 0 1", "FolderReply / 1 1",
                   "FolderReply sub 3 1"}));
  EXPECT_TRUE(client.Events->Has("RenameSuccessful old.txt new.txt"));
  EXPECT_TRUE(client.Events->Has("DeleteSuccessful gone.txt"));
  EXPECT_TRUE(client.Events->Has("Disconnect"));
  EXPECT_TRUE(fs::exists(Server.RootFile("new.txt")));
  EXPECT_FALSE(fs::exists(Server.RootFile("old.txt")));
  EXPECT_FALSE(fs::exists(Server.RootFile("gone.txt")));
  EXPECT_FALSE(fs::exists(Server.RootFile("sub")));
  EXPECT_EQ(fs::status(Server.RootFile("new.txt")).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
}

TEST_F(RealServer, WrongPasswordFailsAfterTheConfiguredAttempts) {
  EngineSettings().MaxAttempts = 2;
  EngineSettings().RetryDelay = 0;
  TClient client(Server.Port(), TPyFtpServer::UserName, "wrong");
  client.Component->Login();
  ASSERT_TRUE(client.Events->WaitCompleted(1, std::chrono::seconds(30)));
  int failures = 0;
  for (const auto& line : client.Events->Log)
    if (line.Message == "Failed to Log in to Host" && line.Color == ErrorColor) ++failures;
  EXPECT_EQ(failures, 2);
  EXPECT_TRUE(client.Events->Has("CantLogIn"));
  EXPECT_EQ(client.Events->LastCompleted(), "CommandCompleted Login 0 0");
  EXPECT_FALSE(client.Component->LoggedIn());
}

}  // namespace
}  // namespace ferrowin::test
