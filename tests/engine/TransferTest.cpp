// Transfers against a real server (pyftpdlib): byte-exact downloads and uploads in both
// modes, resume, abort, progress and listings.

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "EngineTestSupport.h"

namespace ferrowin::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

std::string RandomBytes(std::size_t size, unsigned seed = 7) {
  std::mt19937 random(seed);
  std::string data(size, '\0');
  for (char& c : data) c = static_cast<char>(random());
  return data;
}



class Transfer : public TEngineTest {
 protected:
  // A transfer connection, as the queue makes them: no listing parser needed, resume allowed.
  std::unique_ptr<TClient> Connect(bool passive, bool owned = false) {
    auto client = std::make_unique<TClient>(Server.Port(), TPyFtpServer::UserName, TPyFtpServer::Password, owned);
    client->Component->SetPassive(passive);
    client->Login();
    return client;
  }
  TPyFtpServer Server;
  TTempDir Local;
};

TEST_F(Transfer, DownloadAndUploadAreByteExactInBothModes) {
  const std::string data = RandomBytes(3 * 1024 * 1024 + 17);
  WriteFile(Server.RootFile("remote.bin"), data);
  WriteFile(Local.File("up.bin"), data);
  for (bool passive : {true, false}) {
    SCOPED_TRACE(passive ? "passive" : "active");
    auto client = Connect(passive);
    const std::string target = Local.File(passive ? "p/deep/down.bin" : "a/down.bin");
    client->Component->Download("", "/remote.bin", target, TTransferType::Binary);
    client->Component->Upload(Local.File("up.bin"), "", passive ? "/up-p.bin" : "/up-a.bin", TTransferType::Binary);
    ASSERT_TRUE(client->Events->WaitCompleted(5, 30s));
    EXPECT_EQ(client->Events->Matching("CommandCompleted"),
              (Lines{"CommandCompleted Login 1 0", "CommandCompleted SetType 1 0", "CommandCompleted Download 1 0",
                     "CommandCompleted SetType 1 0", "CommandCompleted Upload 1 0"}));
    EXPECT_EQ(ReadFile(target), data);
    EXPECT_EQ(ReadFile(Server.RootFile(passive ? "up-p.bin" : "up-a.bin")), data);
    EXPECT_TRUE(client->Events->LogHas("Transferred 3,145,745 bytes in "));
    EXPECT_EQ(client->Events->CountPrefix("Progress 0 0 1"), 2);
    EXPECT_TRUE(client->Events->Has("Progress 2 3145745 1"));
  }
}

TEST_F(Transfer, ResumedDownloadAppendsTheRest) {
  const std::string data = RandomBytes(200000, 3);
  WriteFile(Server.RootFile("big.bin"), data);
  WriteFile(Local.File("big.bin"), data.substr(0, 5000));
  auto client = Connect(true);
  // The offset sent is the local file's length, whatever the caller's offset says.
  client->Component->ResumeDownload("", "/big.bin", Local.File("big.bin"), TTransferType::Binary, 1);
  ASSERT_TRUE(client->Events->WaitCompleted(3));
  EXPECT_EQ(client->Events->LastCompleted(), "CommandCompleted ResumeDownload 1 0");
  EXPECT_EQ(ReadFile(Local.File("big.bin")), data);
  EXPECT_TRUE(client->Events->LogHasLine("REST 5000", CommandColor));
  EXPECT_TRUE(client->Events->LogHas("Transferred 200,000 bytes"));  // counts the part already there
  EXPECT_TRUE(client->Events->Has("Progress 0 5000 1"));
}

TEST_F(Transfer, ResumedUploadSendsFromTheOffset) {
  const std::string data = RandomBytes(100000, 5);
  WriteFile(Local.File("up.bin"), data);
  WriteFile(Server.RootFile("up.bin"), data.substr(0, 3000));
  auto client = Connect(false);
  client->Component->ResumeUpload(Local.File("up.bin"), "", "/up.bin", TTransferType::Binary, 3000);
  ASSERT_TRUE(client->Events->WaitCompleted(3));
  EXPECT_EQ(client->Events->LastCompleted(), "CommandCompleted ResumeUpload 1 0");
  EXPECT_EQ(ReadFile(Server.RootFile("up.bin")), data);
  EXPECT_TRUE(client->Events->LogHasLine("REST 3000", CommandColor));
}

TEST_F(Transfer, TextModeConvertsLineEndsBothWays) {
  WriteFile(Server.RootFile("notes.txt"), "one\ntwo\n\nthree\n");  // the server sends CR LF
  WriteFile(Server.RootFile("cr.txt"), "last\r");  // a CR that ends the file stays
  WriteFile(Local.File("up.txt"), "alpha\nbeta\n");
  auto client = Connect(true);
  client->Component->Download("", "/notes.txt", Local.File("notes.txt"), TTransferType::ASCII);
  client->Component->Download("", "/cr.txt", Local.File("cr.txt"), TTransferType::ASCII);
  client->Component->Upload(Local.File("up.txt"), "", "/up.txt", TTransferType::ASCII);
  ASSERT_TRUE(client->Events->WaitCompleted(7));
  EXPECT_EQ(ReadFile(Local.File("cr.txt")), "last\r");
  EXPECT_EQ(client->Events->LastCompleted(), "CommandCompleted Upload 1 0");
  EXPECT_EQ(ReadFile(Local.File("notes.txt")), "one\ntwo\n\nthree\n");
  EXPECT_EQ(ReadFile(Server.RootFile("up.txt")), "alpha\nbeta\n");  // it stores CR LF as LF
  EXPECT_TRUE(client->Events->LogHas("Transferred 15 bytes"));  // counted as the local file holds them
  EXPECT_TRUE(client->Events->LogHas("Transferred 11 bytes"));
}

TEST_F(Transfer, ANewLoginForgetsTheFolderItWasIn) {
  fs::create_directory(Server.RootFile("dir"));
  WriteFile(Server.RootFile("dir/file.bin"), "in dir");
  WriteFile(Server.RootFile("file.bin"), "namesake in the login folder");
  auto client = Connect(true);
  auto& c = *client->Component;
  // A failed download puts the connection in folder mode, inside /dir/.
  c.Download("/dir/", "/dir/missing.bin", Local.File("missing.bin"), TTransferType::Binary);
  ASSERT_TRUE(client->Events->WaitCompleted(3));
  c.Logout();
  ASSERT_TRUE(client->Events->WaitCompleted(4));
  c.Login();
  ASSERT_TRUE(client->Events->WaitCompleted(5));
  c.Download("/dir/", "/dir/file.bin", Local.File("file.bin"), TTransferType::Binary);
  ASSERT_TRUE(client->Events->WaitCompleted(7));
  EXPECT_EQ(client->Events->LastCompleted(), "CommandCompleted Download 1 0");
  EXPECT_EQ(ReadFile(Local.File("file.bin")), "in dir");
}

TEST_F(Transfer, AbortEndsATransferWithinASecondAndRepliesStayInStep) {
  // A large file through a slow reader: the transfer is still running when we abort.
  WriteFile(Server.RootFile("huge.bin"), RandomBytes(64 * 1024 * 1024, 9));
  auto client = Connect(true);
  for (int round = 1; round <= 3; ++round) {
    SCOPED_TRACE(round);
    const int completed = client->Events->CountPrefix("CommandCompleted");
    client->Component->Download("", "/huge.bin", Local.File("huge.bin"), TTransferType::Binary);
    ASSERT_TRUE(PumpUntil([&] { return client->Events->CountPrefix("Progress 0") == round; }, 10s));
    auto abortedAt = std::chrono::steady_clock::now();
    client->Component->Abort();
    ASSERT_TRUE(client->Events->WaitCompleted(completed + 2, 10s));
    EXPECT_LT(std::chrono::steady_clock::now() - abortedAt, 1s);
    EXPECT_EQ(client->Events->LastCompleted(), "CommandCompleted Download 0 1");
    EXPECT_EQ(client->Events->Count("Abort"), round);  // one event per abort
    // The server's word on the aborted transfer is not taken for the next command's reply.
    client->Component->GetCurrentFolder();
    ASSERT_TRUE(client->Events->WaitCompleted(completed + 3, 10s));
    EXPECT_EQ(client->Events->Matching("FolderReply").back(), "FolderReply / 0 1");
  }
  EXPECT_TRUE(client->Events->LogHasLine("Action aborted by user.", InfoColor));
  EXPECT_FALSE(client->Events->LogHas("Unable to complete transfer"));
}

TEST_F(Transfer, ListingOfARealFolder) {
  EngineSettings().MachineListings = false;  // the UNIX form of LIST (links show their target)
  fs::create_directory(Server.RootFile("sub dir"));
  fs::create_directory(Server.RootFile("other"));
  WriteFile(Server.RootFile("a.txt"), "hello");
  WriteFile(Server.RootFile("name with spaces.bin"), std::string(1234, 'x'));
  fs::create_symlink("a.txt", Server.RootFile("link"));
  auto client = Connect(true, /*owned=*/true);
  client->Component->List("/", "*.*");
  ASSERT_TRUE(client->Events->WaitCompleted(2));
  EXPECT_EQ(client->Events->LastCompleted(), "CommandCompleted List 1 0");
  ASSERT_EQ(client->Events->Listings.size(), 1u);
  std::map<std::string, std::pair<std::uint16_t, std::int64_t>> got;
  for (const auto& e : client->Events->Listings[0]) got[e.Name] = {e.Attributes & (faDirectory | faSymLink), e.Size};
  std::map<std::string, std::pair<std::uint16_t, std::int64_t>> expected = {
      {"sub dir", {faDirectory, 0}},
      {"other", {faDirectory, 0}},
      {"a.txt", {0, 5}},
      {"name with spaces.bin", {0, 1234}},
      {"link -> a.txt", {faSymLink, 5}},
  };
  EXPECT_EQ(got, expected);
  EXPECT_TRUE(client->Events->Has("Progress 0 0 0"));  // a listing is not a file
}

}  // namespace
}  // namespace ferrowin::test
