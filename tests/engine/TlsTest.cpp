// FTP over TLS against vsftpd (TLS required, session reuse required on data connections) and
// pyftpdlib's TLS handler, with certificates made for each test.

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "EngineTestSupport.h"
#include "FTPUtils.h"
#include "SocketAddress.h"
#include "TlsTrust.h"

namespace ferrowin::test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

std::string Output(const std::string& command) {
  std::string text;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) text += buffer;
    ::pclose(pipe);
  }
  return text;
}

double ProcessCpuSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct TCertificate {
  std::string Cert;
  std::string Key;
};

// A key and certificate for `names` (subjectAltName entries), self-signed or signed by `ca`.
TCertificate MakeCertificate(const TTempDir& dir, const std::string& name, const std::string& names,
                             const TCertificate* ca = nullptr) {
  TCertificate c{dir.File(name + ".pem"), dir.File(name + ".key")};
  const std::string key = "-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -keyout " + c.Key;
  std::string command;
  if (ca) {
    command = "openssl req -new " + key + " -subj /CN=" + name + " -out " + c.Cert + ".csr && openssl x509 -req -in " +
              c.Cert + ".csr -CA " + ca->Cert + " -CAkey " + ca->Key + " -CAcreateserial -days 2 -out " + c.Cert +
              " -extfile <(printf 'subjectAltName=" + names + "')";
  } else {
    command = "openssl req -x509 " + key + " -days 2 -subj /CN=" + name + " -out " + c.Cert +
              (names.empty() ? "" : " -addext subjectAltName=" + names);
  }
  EXPECT_EQ(std::system(("bash -c \"" + command + "\" 2>/dev/null").c_str()), 0) << command;
  return c;
}

std::string Fingerprint(const TCertificate& c) {
  std::string text = Output("openssl x509 -noout -fingerprint -sha256 -in " + c.Cert);
  text = text.substr(text.find('=') + 1);
  return text.substr(0, text.find('\n'));
}

std::string Dump(const TClient& client) {
  std::string text;
  for (const auto& e : client.Events->Events) text += e + "\n";
  for (const auto& l : client.Events->Log) text += l.Message + "\n";
  return text;
}

class TVsftpd {
 public:
  TVsftpd(const TCertificate& c, std::vector<std::string> options = {}) {
    std::vector<std::string> argv{"/usr/bin/python3", ServersFolder() + "/vsftpd_server.py", Root.Path(), c.Cert, c.Key};
    argv.insert(argv.end(), options.begin(), options.end());
    WriteFile(Root.File("data.bin"), Payload());
    Process = std::make_unique<TServerProcess>(argv);
  }
  [[nodiscard]] int Port() const { return Process->Port(); }
  [[nodiscard]] std::string File(const std::string& name) const { return Root.File(name); }
  static std::string Payload() {
    std::string data(3 * 1024 * 1024 + 17, '\0');
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>((i * 7919) >> 5);
    return data;
  }

 private:
  TTempDir Root;
  std::unique_ptr<TServerProcess> Process;
};

class Tls : public TEngineTest {
 protected:
  void SetUp() override {
    TEngineTest::SetUp();
    if (!fs::exists("/usr/sbin/vsftpd")) GTEST_SKIP() << "vsftpd is not installed (scripts/deps installs it)";
    SetCertificatePrompt([this](const TCertificateInfo& info) {
      Asked.push_back(info);
      std::this_thread::sleep_for(Think);
      return Answer;
    });
  }
  void TearDown() override {
    SetCertificatePrompt(nullptr);
    ForgetSessionTrust();
    ::unsetenv("SSL_CERT_FILE");
    TEngineTest::TearDown();
  }
  // Logs in and returns whether it succeeded.
  bool LogIn(TClient& client, TEncryption encryption, const std::string& host = "127.0.0.1") {
    client.Component->SetHost(host);
    client.Component->Encryption = encryption;
    client.Login(client.Events->CountPrefix("CommandCompleted") + 1);
    return client.Events->LastCompleted() == "CommandCompleted Login 1 0";
  }

  TTempDir Certs;
  std::vector<TCertificateInfo> Asked;
  TTrustAnswer Answer = TTrustAnswer::Once;
  std::chrono::milliseconds Think{0};  // how long the user takes to answer
};

TEST_F(Tls, ListDownloadAndUploadAreByteExactInEveryMode) {
  const TCertificate cert = MakeCertificate(Certs, "localhost", "IP:127.0.0.1");
  struct TCase {
    const char* Name;
    bool Vsftpd;
    TEncryption Encryption;
    bool Passive;
  };
  for (const TCase& t : {TCase{"vsftpd explicit", true, TEncryption::Explicit, true},
                         TCase{"vsftpd explicit, active", true, TEncryption::Explicit, false},
                         TCase{"vsftpd implicit", true, TEncryption::Implicit, true},
                         TCase{"pyftpdlib explicit", false, TEncryption::Explicit, true}}) {
    SCOPED_TRACE(t.Name);
    std::unique_ptr<TVsftpd> vsftpd;
    std::unique_ptr<TPyFtpServer> pyftpd;
    std::string root;
    if (t.Vsftpd) {
      vsftpd = std::make_unique<TVsftpd>(cert, t.Encryption == TEncryption::Implicit ? Lines{"implicit"} : Lines{});
      root = vsftpd->File("");
    } else {
      pyftpd = std::make_unique<TPyFtpServer>("127.0.0.1", cert.Cert, cert.Key);
      root = pyftpd->Root() + "/";
      fs::create_directory(root + "upload");
      WriteFile(root + "data.bin", TVsftpd::Payload());
    }
    TClient client(t.Vsftpd ? vsftpd->Port() : pyftpd->Port(), t.Vsftpd ? "anonymous" : TPyFtpServer::UserName,
                   t.Vsftpd ? "guest@example.org" : TPyFtpServer::Password);
    client.Component->SetPassive(t.Passive);
    ASSERT_TRUE(LogIn(client, t.Encryption));
    EXPECT_TRUE(client.Events->LogHas("TLS connection: TLSv1."));
    auto& c = *client.Component;
    const std::string local = Home.File("local.bin");
    // Paths relative to the login folder: vsftpd started without root does not chroot.
    c.List("", "");
    c.Download("", "data.bin", local, TTransferType::Binary);
    c.Upload(local, "upload", "upload/up.bin", TTransferType::Binary);
    ASSERT_TRUE(PumpUntil([&] { return client.Events->Has("CommandCompleted Upload 1 0") || c.LoggedIn() == false; },
                          std::chrono::seconds(60))) << Dump(client);
    EXPECT_EQ(client.Events->Matching("CommandCompleted Upload"), Lines{"CommandCompleted Upload 1 0"});
    EXPECT_EQ(client.Events->Matching("CommandCompleted Download"), Lines{"CommandCompleted Download 1 0"});
    ASSERT_EQ(client.Events->Listings.size(), 1u);
    EXPECT_TRUE(std::any_of(client.Events->Listings[0].begin(), client.Events->Listings[0].end(),
                            [](const TListingEntry& e) { return e.Name == "data.bin" && e.Size == 3 * 1024 * 1024 + 17; }));
    EXPECT_TRUE(ReadFile(local) == TVsftpd::Payload());
    EXPECT_TRUE(ReadFile(root + "upload/up.bin") == TVsftpd::Payload());
    EXPECT_EQ(client.Events->Count("Connect"), 1);  // every data connection took up the one session
    c.Logout();
    ASSERT_TRUE(PumpUntil([&] { return client.Events->Has("CommandCompleted Logout 1 0"); }));
  }
}

// vsftpd refuses data connections that do not take up the control connection's session, so
// the transfers above prove that ours do; this shows the refusal is really in force.
TEST_F(Tls, VsftpdRefusesADataConnectionWithoutSessionReuse) {
  const TCertificate cert = MakeCertificate(Certs, "localhost", "IP:127.0.0.1");
  TVsftpd server(cert);
  const std::string script =
      "import ftplib, ssl\n"
      "c = ssl.create_default_context(); c.check_hostname = False; c.verify_mode = ssl.CERT_NONE\n"
      "f = ftplib.FTP_TLS(context=c); f.connect('127.0.0.1', " + std::to_string(server.Port()) + ")\n"
      "f.login(); f.prot_p()\n"
      "try: f.retrlines('LIST', lambda l: None)\n"
      "except ftplib.Error as e: print(e)\n";
  WriteFile(Certs.File("noreuse.py"), script);
  EXPECT_NE(Output("/usr/bin/python3 " + Certs.File("noreuse.py")).find("session reuse required"), std::string::npos);
}

TEST_F(Tls, AnUntrustedCertificateAsksAndTheAnswerIsKeptAsChosen) {
  const TCertificate cert = MakeCertificate(Certs, "localhost", "IP:127.0.0.1");
  TVsftpd server(cert);
  TClient client(server.Port(), "anonymous", "guest@example.org");
  const std::string trusted = Home.File("TrustedCertificates.txt");
  struct TStep {
    const char* Name;
    TTrustAnswer Answer;
    bool ForgetRun;  // as after a restart of the program
    int Asked;       // questions so far
    bool LoggedIn;
    bool Kept;  // the file holds the certificate
  };
  for (const TStep& s : {TStep{"trust once", TTrustAnswer::Once, false, 1, true, false},
                         TStep{"once holds for the run", TTrustAnswer::Cancel, false, 1, true, false},
                         TStep{"not after a restart; now always", TTrustAnswer::Always, true, 2, true, true},
                         TStep{"always holds after a restart", TTrustAnswer::Cancel, true, 2, true, true}}) {
    Think = std::chrono::milliseconds(400);  // the login waits for the answer without spinning
    const double cpuBefore = ProcessCpuSeconds();
    SCOPED_TRACE(s.Name);
    if (s.ForgetRun) ForgetSessionTrust();
    Answer = s.Answer;
    EXPECT_EQ(LogIn(client, TEncryption::Explicit), s.LoggedIn);
    EXPECT_EQ(static_cast<int>(Asked.size()), s.Asked);
    EXPECT_EQ(ReadFile(trusted).find(Fingerprint(cert)) != std::string::npos, s.Kept);
    EXPECT_LT(ProcessCpuSeconds() - cpuBefore, 0.3);
  }
  const TCertificateInfo& info = Asked.at(0);
  EXPECT_EQ(info.Host, "127.0.0.1");
  EXPECT_EQ(info.Port, server.Port());
  EXPECT_EQ(info.Subject, "CN=localhost");
  EXPECT_EQ(info.Issuer, "CN=localhost");
  EXPECT_EQ(info.Fingerprint, Fingerprint(cert));
  EXPECT_EQ(info.Problem, "self-signed certificate");
  EXPECT_FALSE(info.Changed);
  EXPECT_LT(info.ValidFrom, info.ValidTo);
  EXPECT_EQ(info.ValidTo.substr(info.ValidTo.size() - 4), " UTC");

  // Another certificate on the same host and port: asked again, and told that it changed.
  WriteFile(trusted, "127.0.0.1 " + std::to_string(server.Port()) + " 00:11:22\n");
  ForgetSessionTrust();
  Answer = TTrustAnswer::Cancel;
  EXPECT_FALSE(LogIn(client, TEncryption::Explicit));
  ASSERT_EQ(Asked.size(), 3u);
  EXPECT_TRUE(Asked.back().Changed);
  EXPECT_TRUE(client.Events->LogHasLine("The server's certificate has changed since it was trusted", ErrorColor));
  EXPECT_TRUE(client.Events->LogHasLine("Certificate not trusted; login cancelled", ErrorColor));
  EXPECT_TRUE(client.Component->LoginRefused());

  // Nobody to ask (a batch run): the login fails.
  SetCertificatePrompt(nullptr);
  EXPECT_FALSE(LogIn(client, TEncryption::Explicit));
  EXPECT_EQ(Asked.size(), 3u);
}

// The system's CA store vouches for the chain; the name must match the host (RFC 6125).
TEST_F(Tls, ACertificateFromATrustedAuthorityIsCheckedAgainstTheHostName) {
  const TCertificate ca = MakeCertificate(Certs, "TestCA", "");
  ::setenv("SSL_CERT_FILE", ca.Cert.c_str(), 1);
  struct TCase {
    const char* Names;
    const char* Host;
    const char* Problem;  // "": no question
  };
  // Every name is this machine, so a certificate's names can be tried against any host name.
  SetResolveFunction([](const std::string&, std::vector<TAddress>& a) { return ResolveHost("127.0.0.1", a); });
  struct TRestore {
    ~TRestore() { SetResolveFunction(nullptr); }
  } restore;
  for (const TCase& t : {TCase{"DNS:localhost", "localhost", ""}, TCase{"IP:127.0.0.1", "127.0.0.1", ""},
                         TCase{"DNS:localhost", "127.0.0.1", "IP address mismatch"},
                         TCase{"DNS:*.localhost", "localhost", "hostname mismatch"},
                         TCase{"DNS:*.example.org", "ftp.example.org", ""},
                         TCase{"DNS:f*.example.org", "ftp.example.org", "hostname mismatch"},
                         TCase{"DNS:*.example.org", "a.ftp.example.org", "hostname mismatch"},
                         TCase{"DNS:other.example", "localhost", "hostname mismatch"}}) {
    SCOPED_TRACE(std::string(t.Names) + " for " + t.Host);
    const TCertificate cert = MakeCertificate(Certs, "server", t.Names, &ca);
    TVsftpd server(cert);
    TClient client(server.Port(), "anonymous", "guest@example.org");
    Asked.clear();
    Answer = TTrustAnswer::Cancel;
    EXPECT_EQ(LogIn(client, TEncryption::Explicit, t.Host), !*t.Problem);
    ASSERT_EQ(Asked.size(), *t.Problem ? 1u : 0u);
    if (*t.Problem) {
      EXPECT_EQ(Asked[0].Problem, t.Problem);
    }
  }
}

TEST_F(Tls, AbortAndTimeOutDuringAnEncryptedTransferKeepTheRepliesInStep) {
  const TCertificate cert = MakeCertificate(Certs, "localhost", "IP:127.0.0.1");
  TVsftpd server(cert, {"rate=8000"});  // a block, then a pause of seconds
  TClient client(server.Port(), "anonymous", "guest@example.org");
  ASSERT_TRUE(LogIn(client, TEncryption::Explicit));
  auto& c = *client.Component;
  c.GetCurrentFolder();  // "/", or the folder itself when vsftpd runs without root
  ASSERT_TRUE(PumpUntil([&] { return client.Events->CountPrefix("FolderReply") == 1; }));
  std::string home = client.Events->Matching("FolderReply")[0];
  home = home.substr(12, home.size() - 16);
  if (home.back() != '/') home += '/';
  for (const bool abort : {true, false}) {
    SCOPED_TRACE(abort ? "abort" : "time-out");
    EngineSettings().TimeOut = abort ? 30000 : 1000;
    const int downloads = client.Events->CountPrefix("CommandCompleted Download");
    const int progress = client.Events->CountPrefix("Progress 0");
    c.Download("", "data.bin", Home.File("part.bin"), TTransferType::Binary);
    if (abort) {
      ASSERT_TRUE(PumpUntil([&] { return client.Events->CountPrefix("Progress 0") > progress; }));
      c.Abort();
    }
    ASSERT_TRUE(PumpUntil([&] { return client.Events->CountPrefix("CommandCompleted Download") > downloads; },
                          std::chrono::seconds(30)));
    EXPECT_EQ(client.Events->LastCompleted(), abort ? "CommandCompleted Download 0 1" : "CommandCompleted Download 0 0");
    EngineSettings().TimeOut = 30000;
    const int before = client.Events->CountPrefix("FolderReply");
    c.SetCurrentFolder(home + "upload");
    c.GetCurrentFolder();
    c.SetCurrentFolder(home);
    ASSERT_TRUE(PumpUntil([&] { return client.Events->CountPrefix("FolderReply") == before + 3; },
                          std::chrono::seconds(30)));
    const Lines replies = client.Events->Matching("FolderReply");
    EXPECT_EQ(Lines(replies.end() - 3, replies.end()),
              (Lines{"FolderReply " + home + "upload 1 1", "FolderReply " + home + "upload 0 1",
                     "FolderReply " + home + " 1 1"}));
  }
  EXPECT_TRUE(client.Events->Has("Error 10060 Operation timed out")) << Dump(client);
  // Whatever new login followed the broken connections (a new TLS session, or one after the
  // server fell silent), every download ran in binary type.
  char type = 0;
  for (const TLogLine& l : client.Events->Log) {
    if (l.Message.starts_with("USER ")) type = 0;  // a login starts in the server's default type
    if (l.Message.starts_with("TYPE ")) type = l.Message[5];
    if (l.Message.starts_with("RETR ")) {
      EXPECT_EQ(type, 'I') << Dump(client);
    }
  }
}

TEST_F(Tls, AServerWithoutTlsFailsARequiredLoginClearly) {
  TPyFtpServer plain;
  for (const TEncryption encryption : {TEncryption::Explicit, TEncryption::Optional}) {
    const bool required = encryption == TEncryption::Explicit;
    SCOPED_TRACE(required ? "required" : "if offered");
    TClient client(plain.Port(), TPyFtpServer::UserName, TPyFtpServer::Password);
    EXPECT_EQ(LogIn(client, encryption), !required);
    EXPECT_EQ(client.Events->LogHasLine("The server refused AUTH TLS, and this site requires an encrypted connection",
                                        ErrorColor),
              required);
    EXPECT_EQ(client.Events->LogHasLine("The server does not offer TLS; continuing without encryption", InfoColor),
              !required);
    EXPECT_EQ(client.Events->Count("Connect"), 1);  // no second attempt after a definite no
  }
}

// Through a firewall, TLS is taken with the firewall right after its greeting, so the firewall's
// login and the server's password never travel in the clear; implicit TLS cannot go that way.
TEST_F(Tls, AFirewallLoginIsEncryptedBeforeItsUserLines) {
  EngineSettings().MaxAttempts = 1;
  const TCertificate cert = MakeCertificate(Certs, "localhost", "IP:127.0.0.1");
  const std::string tls = Action("tls", "[" + Json(cert.Cert) + ", " + Json(cert.Key) + "]");
  const Lines secured{"AUTH TLS", "#tls", "PBSZ 0", "PROT P"};
  auto join = [](Lines a, const Lines& b) { return a.insert(a.end(), b.begin(), b.end()), a; };
  struct TCase {
    int Kind;
    TEncryption Encryption;
    bool Offered;  // the firewall takes AUTH TLS
    Lines Sent;
    const char* Line;  // in the log, red when the login fails
  };
  const TCase cases[] = {
      {0, TEncryption::Explicit, true, join(secured, {"USER fwuser", "PASS fwpw", "SITE ftp.target.org", "USER joe"}),
       "TLS connection: TLSv1."},
      {3, TEncryption::Explicit, true, join(secured, {"USER joe@ftp.target.org", "PASS pw"}), "TLS connection: TLSv1."},
      {1, TEncryption::Optional, false, {"AUTH TLS", "OPEN ftp.target.org", "USER joe"},
       "The server does not offer TLS; continuing without encryption"},
      {2, TEncryption::Explicit, false, {"AUTH TLS"},
       "The server refused AUTH TLS, and this site requires an encrypted connection"},
      {2, TEncryption::Implicit, true, {},
       "Implicit TLS cannot pass through a firewall; choose \"Require explicit TLS\" for this site"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE("kind " + std::to_string(c.Kind) + ", encryption " + std::to_string(static_cast<int>(c.Encryption)));
    TScript script;
    if (c.Offered) script.On("AUTH TLS", {Send("234 Proceed."), tls}).Reply("PBSZ 0", "200 PBSZ=0").Reply("PROT P", "200 PROT now Private.");
    script.Reply("USER fwuser", "331 Firewall password.").Reply("PASS fwpw", "230 Firewall ok.");
    script.Reply("(SITE|OPEN) .*", "200 Connected to target.");
    TFakeFtpServer firewall(script.StandardLogin().ToJson());
    TClient client(21, "joe", "pw");
    auto& ftp = *client.Component;
    ftp.SetHost("ftp.target.org");
    ftp.Encryption = c.Encryption;
    ftp.FirewallHost = "127.0.0.1";
    ftp.FirewallPort = firewall.Port();
    ftp.FirewallKind = c.Kind;
    ftp.FirewallUser = "fwuser";
    ftp.FirewallPassword = "fwpw";
    Asked.clear();
    ftp.FirewallLogin();
    ASSERT_TRUE(client.Events->WaitCompleted(1));
    const bool success = c.Encryption == TEncryption::Optional || (c.Offered && c.Encryption != TEncryption::Implicit);
    EXPECT_EQ(client.Events->LastCompleted(), success ? "CommandCompleted FirewallLogin 1 0" : "CommandCompleted FirewallLogin 0 0");
    Lines received = firewall.Received();
    received.resize(std::min(received.size(), c.Sent.size()));
    EXPECT_EQ(received, c.Sent);
    EXPECT_EQ(firewall.Received().size() == c.Sent.size(), !success) << "nothing more after a refusal";
    EXPECT_TRUE(success ? client.Events->LogHas(c.Line) : client.Events->LogHasLine(c.Line, ErrorColor)) << Dump(client);
    // The certificate checked is the firewall's, the end of the encrypted connection.
    ASSERT_EQ(Asked.size(), c.Offered && success ? 1u : 0u);
    if (!Asked.empty()) {
      EXPECT_EQ(Asked[0].Host, "127.0.0.1");
      EXPECT_EQ(Asked[0].Port, firewall.Port());
    }
  }
}

// How an encrypted data connection ends decides the transfer: without the closing alert (as
// many servers end them) the file is whole; reset, it is not, and ends at once; records that
// arrive in pieces are awaited without spinning; a data connection that does not speak TLS
// after PROT P, or shows another certificate without taking up the session, fails clearly;
// a refused PROT P ends a login that requires TLS, and lets data travel in the clear otherwise.
// After its closing alert an upload waits for the server to close the data connection, but no
// longer than the time-out: a server that keeps it open costs that wait, not the session.
TEST_F(Tls, AnUploadEndsWhenTheServerKeepsTheDataConnectionOpen) {
  EngineSettings().TimeOut = 1000;
  const TCertificate cert = MakeCertificate(Certs, "localhost", "IP:127.0.0.1");
  const std::string files = "[" + Json(cert.Cert) + ", " + Json(cert.Key) + "]";
  const std::string sent = Home.File("sent.bin"), received = Home.File("received.bin");
  WriteFile(sent, std::string(100000, 's'));
  TScript script;
  script.On("AUTH TLS", {Send("234 Proceed."), Action("tls", files)});
  script.Reply("PBSZ 0", "200 PBSZ=0");
  script.On("PROT P", {Send("200 Private."), Action("protect", "true")});
  script.On("PASV", {Action("pasv", Json("227 Entering Passive Mode ({})."))});
  script.On("STOR .*", {Send("150 Opening."), Action("data_recv_keep", Json(received)), Send("226 Stored.")});
  TFakeFtpServer server(script.StandardLogin().ToJson());
  TClient client(server.Port(), "joe", "pw", false);
  client.Component->Encryption = TEncryption::Explicit;
  client.Login();
  ASSERT_EQ(client.Events->LastCompleted(), "CommandCompleted Login 1 0") << Dump(client);
  client.Component->Upload(sent, "", "/up.bin", TTransferType::Binary);
  ASSERT_TRUE(PumpUntil([&] { return client.Events->CountPrefix("CommandCompleted Upload") == 1; },
                        std::chrono::seconds(15)))
      << Dump(client);
  EXPECT_EQ(client.Events->LastCompleted(), "CommandCompleted Upload 1 0") << Dump(client);
  EXPECT_EQ(ReadFile(received), ReadFile(sent));
}

TEST_F(Tls, EncryptedDataConnectionsEndAsTheyShould) {
  EngineSettings().TimeOut = 60000;  // an error that passed for a wait would end only with this
  const TCertificate cert = MakeCertificate(Certs, "localhost", "IP:127.0.0.1");
  const TCertificate other = MakeCertificate(Certs, "other", "IP:127.0.0.1");
  auto files = [](const TCertificate& c) { return "[" + Json(c.Cert) + ", " + Json(c.Key) + "]"; };
  std::string payload;
  for (int i = 0; payload.size() < 300000; ++i) payload += "line " + std::to_string(i) + "\n";
  const std::string upload = Home.File("up.bin");
  WriteFile(upload, std::string(16 << 20, 'u'));  // more than the socket buffers hold
  struct TCase {
    const char* Name;
    TEncryption Encryption;
    bool ProtOk;          // the server takes PROT P
    std::string Protect;  // its data connections speak TLS: "true", or with another certificate
    std::string Data;     // the data action, with its value
    bool Whole;
    const char* Line;  // a red log line starting so ("" none)
  };
  const std::string text = Json(payload);
  const TCase cases[] = {
      {"no closing alert", TEncryption::Explicit, true, "true", Action("data", text), true, ""},
      {"records in halves", TEncryption::Explicit, true, "", Action("data_split", text), true, ""},
      {"reset after the data", TEncryption::Explicit, true, "true", Action("data_reset", text), false, "TLS: "},
      {"upload reset", TEncryption::Explicit, true, "true", Action("data_recv_reset", "65536"), false, "TLS: "},
      {"plain data after PROT P", TEncryption::Explicit, true, "", Action("data", text), false, "TLS handshake failed"},
      {"another certificate", TEncryption::Explicit, true, files(other), Action("data", text), false,
       "The data connection presented another certificate than the control connection"},
      {"PROT refused, TLS if offered", TEncryption::Optional, false, "", Action("data", text), true,
       "The server will not encrypt data connections; files and listings travel unencrypted"},
      {"PROT refused, TLS required", TEncryption::Explicit, false, "", Action("data", text), false,
       "The server refused to encrypt data connections (PROT P)"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const bool up = c.Data.find("data_recv") != std::string::npos;
    TScript script;
    script.On("AUTH TLS", {Send("234 Proceed."), Action("tls", files(cert))});
    script.Reply("PBSZ 0", "200 PBSZ=0");
    Lines prot{Send(c.ProtOk ? "200 Private." : "534 Not now.")};
    if (!c.Protect.empty()) prot.push_back(Action("protect", c.Protect));
    script.On("PROT P", prot);
    script.On("PASV", {Action("pasv", Json("227 Entering Passive Mode ({})."))});
    script.On("(RETR|STOR) .*", {Send("150 Opening."), c.Data, Send(up ? "426 Reset." : "226 Transfer complete.")});
    script.Reply("PWD", "257 \"/home\" is the current folder.");
    TFakeFtpServer server(script.StandardLogin().ToJson());
    TClient client(server.Port(), "joe", "pw", false);
    client.Component->Encryption = c.Encryption;
    client.Login();
    const auto& log = client.Events->Log;
    auto hasLine = [&] {
      return std::any_of(log.begin(), log.end(),
                         [&](const TLogLine& l) { return l.Message.starts_with(c.Line) && l.Color == ErrorColor; });
    };
    const bool logsIn = c.Encryption != TEncryption::Explicit || c.ProtOk;
    ASSERT_EQ(client.Events->LastCompleted(), logsIn ? "CommandCompleted Login 1 0" : "CommandCompleted Login 0 0")
        << Dump(client);
    if (!logsIn) {
      EXPECT_TRUE(hasLine()) << Dump(client);
      continue;
    }
    const std::string local = Home.File("down.txt");
    const double cpuBefore = ProcessCpuSeconds();
    if (up) client.Component->Upload(upload, "", "/up.bin", TTransferType::Binary);
    else client.Component->Download("", "/f.txt", local, TTransferType::Binary);
    client.Component->GetCurrentFolder();
    ASSERT_TRUE(PumpUntil([&] { return client.Events->CountPrefix("FolderReply") == 1; }, std::chrono::seconds(20)))
        << Dump(client);
    // Waiting for the rest of a record is a wait on the socket, not a spin (about a second here).
    EXPECT_LT(ProcessCpuSeconds() - cpuBefore, 0.5);
    // (A failed transfer may be tried once more; none may succeed.)
    const std::string kind = up ? "CommandCompleted Upload" : "CommandCompleted Download";
    const Lines transfers = client.Events->Matching(kind);
    ASSERT_FALSE(transfers.empty());
    EXPECT_EQ(Lines(transfers.size(), kind + (c.Whole ? " 1 0" : " 0 0")), transfers) << Dump(client);
    EXPECT_EQ(client.Events->Matching("FolderReply"), Lines{"FolderReply /home 0 1"}) << "the next reply in step";
    if (c.Whole) {
      EXPECT_TRUE(ReadFile(local) == payload);
    }
    EXPECT_EQ(*c.Line != 0, *c.Line && hasLine()) << Dump(client);
    EXPECT_TRUE(client.Events->Matching("Error 2").empty()) << "an error without a text of its own";
  }
}

}  // namespace
}  // namespace ferrowin::test
