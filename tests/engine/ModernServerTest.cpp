// Today's servers: FEAT, EPSV and EPRT, IPv6, MLSD and names in other character sets, against
// pyftpdlib on 127.0.0.1 and ::1 and the scripted server for refusals and 8-bit names.

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <ostream>

#include "EngineTestSupport.h"
#include "Format.h"
#include "SocketAddress.h"

namespace ferrowin::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

// "v6only.test" has an IPv4 address where nothing listens, then ::1: the second is tried.
int TwoAddresses(const std::string& host, std::vector<TAddress>& addresses) {
  if (host != "v6only.test") return ResolveHost(host, addresses);
  addresses = {ParseAddress("127.0.0.1"), ParseAddress("::1")};
  return 0;
}

struct TEntryFields {
  std::string Name;
  std::uint16_t Attributes;
  std::int64_t Size;
  std::string Date;
  friend bool operator==(const TEntryFields&, const TEntryFields&) = default;
};
void PrintTo(const TEntryFields& e, std::ostream* out) {
  *out << e.Name << " " << e.Attributes << " " << e.Size << " " << e.Date;
}

std::vector<TEntryFields> Fields(const TListingEntries& entries) {
  std::vector<TEntryFields> fields;
  for (const auto& e : entries) fields.push_back({e.Name, e.Attributes, e.Size, FormatDateTimeISO(e.Date)});
  std::sort(fields.begin(), fields.end(), [](const auto& a, const auto& b) { return a.Name < b.Name; });
  return fields;
}

class ModernServer : public TEngineTest {
 protected:
  void TearDown() override {
    SetResolveFunction(nullptr);
    TEngineTest::TearDown();
  }
};

TEST_F(ModernServer, RealServerOverIPv4AndIPv6) {
  struct {
    const char* Name;
    const char* Listen;
    std::string Host;  // {} stands for the server's port
    const char* ActiveCommand;
  } cases[] = {
      {"IPv4", "127.0.0.1", "127.0.0.1", "PORT "},
      {"bracketed literal", "::1", "[::1]:{}", "EPRT |2|::1|"},
      {"name with an IPv4 address first", "::1", "v6only.test", "EPRT |2|::1|"},
  };
  SetResolveFunction(&TwoAddresses);
  EngineSettings().RetryDelay = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TPyFtpServer server(c.Listen);
    TTempDir local;
    fs::create_directory(server.RootFile("sub dir"));
    WriteFile(server.RootFile("caf\xC3\xA9.txt"), "caf\xC3\xA9");
    WriteFile(server.RootFile("up.bin"), "");
    WriteFile(server.RootFile("big.iso"), "");
    ASSERT_EQ(::truncate(server.RootFile("big.iso").c_str(), 5000000000), 0);  // sparse
    std::string host = c.Host;
    if (auto at = host.find("{}"); at != std::string::npos) host.replace(at, 2, std::to_string(server.Port()));
    TClient client(server.Port(), TPyFtpServer::UserName, TPyFtpServer::Password);
    client.Component->SetHost(host);
    client.Login();
    ASSERT_EQ(client.Events->LastCompleted(), "CommandCompleted Login 1 0");
    EXPECT_TRUE(client.Events->LogHas(Format("Attempting to connect to %s, attempt 1", host)));  // as written
    EXPECT_EQ(client.Events->LogHas("trying the next address"), host == "v6only.test");
    EXPECT_NE(client.Component->FeatReply().find(" EPSV"), std::string::npos) << client.Component->FeatReply();
    auto& comp = *client.Component;
    comp.List("/", "");
    ASSERT_TRUE(client.Events->WaitCompleted(2));
    EngineSettings().MachineListings = false;  // read when a listing starts
    comp.List("/", "");
    comp.Download("", "/caf\xC3\xA9.txt", local.File("caf\xC3\xA9.txt"), TTransferType::Binary);
    ASSERT_TRUE(client.Events->WaitCompleted(5));  // a transfer sets the type first
    EngineSettings().MachineListings = true;
    comp.SetPassive(false);
    WriteFile(local.File("up.bin"), "active upload");
    comp.Upload(local.File("up.bin"), "", "/up.bin", TTransferType::Binary);
    ASSERT_TRUE(client.Events->WaitCompleted(7, 20s));
    EXPECT_EQ(client.Events->Matching("CommandCompleted").back(), "CommandCompleted Upload 1 0");
    ASSERT_EQ(client.Events->Listings.size(), 2u);
    EXPECT_TRUE(client.Events->LogHas("MLSD"));
    EXPECT_TRUE(client.Events->LogHasLine("EPSV", CommandColor));
    EXPECT_TRUE(client.Events->LogHas(c.ActiveCommand));
    EXPECT_EQ(Fields(client.Events->Listings[0]), Fields(client.Events->Listings[1]));
    EXPECT_EQ(Fields(client.Events->Listings[0]).front().Size, 5000000000);
    EXPECT_EQ(ReadFile(local.File("caf\xC3\xA9.txt")), "caf\xC3\xA9");
    EXPECT_EQ(ReadFile(server.RootFile("up.bin")), "active upload");
  }
}

std::vector<std::string> Retr(const std::string& payload) {
  return {Send("150 Here."), Action("data", Json(payload)), Send("226 Done.")};
}

// Only the lines of these commands, in order.
Lines Only(const Lines& lines, const std::vector<std::string>& verbs) {
  Lines out;
  for (const auto& line : lines)
    for (const auto& verb : verbs)
      if (line.rfind(verb, 0) == 0) out.push_back(line);
  return out;
}

TEST_F(ModernServer, RefusedExtendedCommandsFallBackOncePerConnection) {
  const std::string pasv = Action("pasv", Json("227 Entering Passive Mode ({})."));
  TScript script;
  script.On("FEAT", {Send("211-Features:"), Send(" EPSV"), Send(" MLST type*;size*;modify*;"), Send("211 End")});
  script.Reply("EPSV", "500 EPSV not understood.").Reply("MLSD", "502 No MLSD.").On("PASV", {pasv});
  script.On("LIST", {Send("150 Here."), Action("data", Json("-rw-r--r-- 1 u g 4 Jan 05 10:30 a.txt\r\n")),
                     Send("226 Done.")});
  script.On("RETR .*", Retr("data"));
  TFakeFtpServer server(script.StandardLogin().ToJson());
  TClient client(server.Port(), "joe", "pw", false);
  client.Login();
  TTempDir local;
  client.Component->List("/", "");
  client.Component->List("/", "");
  client.Component->Download("", "/a.txt", local.File("a.txt"), TTransferType::Binary);
  ASSERT_TRUE(client.Events->WaitCompleted(5));
  EXPECT_EQ(client.Events->Matching("CommandCompleted"),
            (Lines{"CommandCompleted Login 1 0", "CommandCompleted List 1 0", "CommandCompleted List 1 0",
                   "CommandCompleted SetType 1 0", "CommandCompleted Download 1 0"}));
  EXPECT_EQ(Only(server.Received(), {"EPSV", "PASV", "MLSD", "LIST", "RETR"}),
            (Lines{"EPSV", "PASV", "MLSD", "PASV", "LIST", "PASV", "LIST", "PASV", "RETR /a.txt"}));
  ASSERT_EQ(client.Events->Listings.size(), 2u);
  EXPECT_EQ(client.Events->Listings[1].at(0).Name, "a.txt");
  EXPECT_EQ(ReadFile(local.File("a.txt")), "data");
  EXPECT_FALSE(client.Events->LogHas("(0.00KB/s)")) << "four bytes in well under a millisecond";
}

TEST_F(ModernServer, ExtendedPassiveReplyForms) {
  struct {
    const char* Reply;
    bool Valid;
  } cases[] = {
      {"229 Entering Extended Passive Mode (|||{}|)", true},
      {"229 Extended (!!!{}!) with another delimiter", true},
      {"229 Entering Extended Passive Mode (||{}|)", false},
      {"229 Entering Extended Passive Mode (|||{}", false},
      {"229 Entering Extended Passive Mode (|||x{}|)", false},
      {"229 Entering Extended Passive Mode", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Reply);
    TScript script;
    script.On("FEAT", {Send("211-Features:"), Send(" EPSV"), Send("211 End")});
    script.On("EPSV", {Action("epsv", Json(c.Reply))}).On("RETR .*", Retr("over epsv"));
    TFakeFtpServer server(script.StandardLogin().ToJson());
    TClient client(server.Port(), "joe", "pw", false);
    client.Login();
    TTempDir local;
    client.Component->Download("", "/f", local.File("f"), TTransferType::Binary);
    ASSERT_TRUE(PumpUntil([&] { return client.Events->CountPrefix("CommandCompleted Download") > 0; }, 15s));
    EXPECT_EQ(ReadFile(local.File("f")), c.Valid ? "over epsv" : "");
    EXPECT_EQ(client.Events->LogHasLine("Illegal response from server", ErrorColor), !c.Valid);
  }
}

// A server whose names are 8-bit: shown as the site's character set says, and the name shown
// is fetched, renamed and deleted with the server's own bytes.
TEST_F(ModernServer, EightBitNamesRoundTrip) {
  struct {
    const char* Charset;
    std::string Wire;      // as listed
    std::string Shown;     // as the listing gives it
    std::string NewWire;   // "né.txt" after the rename
  } cases[] = {
      {"ISO-8859-1", "caf\xE9.txt", "caf\xC3\xA9.txt", "n\xE9.txt"},
      {"Auto", "\xE9t\xE9.txt", "\xC3\xA9t\xC3\xA9.txt", "n\xC3\xA9.txt"},  // not UTF-8: the code page
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Charset);
    const std::string pasv = Action("pasv", Json("227 Entering Passive Mode ({})."));
    TScript script;
    script.On("PASV", {pasv}).Reply("RNFR .*", "350 Ready.").Reply("RNTO .*", "250 Renamed.");
    script.Reply("DELE .*", "250 Deleted.").On("RETR .*", Retr("bytes"));
    script.On("LIST", {Send("150 Here."),
                       Action("data", Json("-rw-r--r-- 1 u g 5 Jan 05 10:30 " + c.Wire + "\r\n")), Send("226 Done.")});
    TFakeFtpServer server(script.StandardLogin().ToJson());
    TClient client(server.Port(), "joe", "pw", false);
    client.Component->SetCharacterSet(c.Charset);
    client.Login();
    TTempDir local;
    auto& comp = *client.Component;
    comp.List("/", "");
    ASSERT_TRUE(client.Events->WaitCompleted(2));
    ASSERT_EQ(client.Events->Listings.size(), 1u);
    const std::string shown = client.Events->Listings[0].at(0).Name;
    EXPECT_EQ(shown, c.Shown);
    comp.Download("", "/" + shown, local.File(shown), TTransferType::Binary);
    comp.Rename(shown, "n\xC3\xA9.txt");
    comp.Delete("n\xC3\xA9.txt");
    ASSERT_TRUE(client.Events->WaitCompleted(6));
    EXPECT_EQ(client.Events->Matching("CommandCompleted").back(), "CommandCompleted Delete 1 0");
    EXPECT_EQ(Only(server.Received(), {"RETR", "RNFR", "RNTO", "DELE"}),
              (Lines{"RETR /" + c.Wire, "RNFR " + c.Wire, "RNTO " + c.NewWire, "DELE " + c.NewWire}));
    EXPECT_TRUE(client.Events->Has("RenameSuccessful " + shown + " n\xC3\xA9.txt"));
    EXPECT_EQ(ReadFile(local.File(shown)), "bytes");
  }
}

}  // namespace
}  // namespace ferrowin::test
