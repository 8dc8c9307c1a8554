// Logging in, directly or through one of the four kinds of firewall, and what follows a
// login: the server's type and whether it can resume.

#include "FTPCompDetect.h"
#include "FTPCompThread.h"
#include "Parsers.h"

namespace ferrowin {
namespace {

struct TFirewallData {
  bool LoginToFirewall;
  const char* SiteCommand;  // nullptr: none
  const char* UserCommand;
};

// Indexed by the firewall kind: Site, Proxy, User with login, User without login.
constexpr TFirewallData FirewallData[] = {
    {true, "SITE %s", "USER %s"},
    {false, "OPEN %s", "USER %s"},
    {true, nullptr, "USER %s@%s"},
    {false, nullptr, "USER %s@%s"},
};

constexpr int UnixStandard = 11;
constexpr int NotRelevant = 1;

[[noreturn]] void Fail(const char* message) { throw EControlSocketException(message, 0); }

}  // namespace

std::string TFTPThread::ReplyText() const {
  if (ReplyLines.empty()) return LastReply;
  std::string text;
  for (const std::string& line : ReplyLines) text += (text.empty() ? "" : "\n") + line;
  return text;
}

// A reply to USER, PASS or ACCT. A permanent refusal (5xx: 530 for a wrong name or password,
// 500-504 for commands the server will not take) would be given again to the same request, so
// it ends the login at once; 4xx and broken connections are worth another attempt.
int TFTPThread::LoginReply(const char* failure) {
  const int r = GetReply();
  if (r == 5) throw ELoginRefused(failure, ReplyText());
  return r;
}

void TFTPThread::SendPassword(const std::string& password) {
  Quiet = true;
  SendCommand("PASS " + password);
  Quiet = false;
  NotifyLog("PASS xxxxx", CommandColor);
}

void TFTPThread::LoginDialogue(const std::string& user, const std::string& password, const std::string& account) {
  Trace("Logging in...");
  CollectReplies = true;  // the lines of a refusal are what the user is shown
  if (!user.empty()) {
    StartImplicitTls();
    RepliesNeeded = 1;
    if (GetReply() != 2) Fail("Failed to Connect");
    if (Shared->ServerType == 0) DetectFromWelcome(ReplyLines);
    NotifyConnect();
    SecureControlConnection();
    SendCommand("USER " + user);
  } else {
    NotifyConnect();  // the firewall dialogue has sent the user already
  }
  const char* failure = "Failed to Log in to Host";
  int r = LoginReply(failure);
  if (r == 3 && LastCode == 332) {
    SendCommand("ACCT " + account);
    r = LoginReply(failure);
  }
  if (r == 3 && LastCode == 331) {
    SendPassword(password);
    r = LoginReply(failure);
  }
  if (r == 3 && LastCode == 332) {
    SendCommand("ACCT " + account);
    r = LoginReply(failure);
  }
  CollectReplies = false;
  if (r != 2) Fail(failure);
}

// With encryption, AUTH TLS follows the firewall's greeting, so that the firewall's user lines
// and the server's password travel encrypted. Implicit TLS cannot: the firewall greets in
// plain text, and it opens the connection to the server's TLS port itself, speaking plain FTP.
void TFTPThread::FirewallDialogue(const TCommandItem& item) {
  Trace("Logging in to Firewall...");
  if (Encryption == TEncryption::Implicit)
    throw ELoginRefused("Implicit TLS cannot pass through a firewall; choose \"Require explicit TLS\" for this site", "");
  RepliesNeeded = 1;
  if (GetReply() != 2) Fail("Failed to Connect");
  SecureControlConnection();
  int kind = NumberOr(item.Param(2), 0);
  const TFirewallData& firewall = FirewallData[kind <= 3 ? kind : 0];
  if (firewall.LoginToFirewall) {
    const char* failure = "Failed to Log in to Firewall";
    CollectReplies = true;
    SendCommand("USER " + item.Param(3));
    int r = LoginReply(failure);
    if (r == 3) {
      SendPassword(item.Param(4));
      r = LoginReply(failure);
    }
    CollectReplies = false;
    if (r != 2) Fail(failure);
  }
  const std::string& host = item.Param(5);
  int port = PortNumber(item.Param(6), 21);
  std::string target = port == 21 ? host : Format("%s:%d", host, port);
  if (firewall.SiteCommand && Command(Format(firewall.SiteCommand, target)) != 2) Fail("Failed to Log in to Firewall");
  SendCommand(Format(firewall.UserCommand, item.Param(7), target));
  LoginDialogue("", item.Param(8), item.Param(9));
}

void TFTPThread::DetectFromWelcome(const std::vector<std::string>& lines) {
  if (int type = ServerTypeFromWelcome(lines)) Shared->ServerType = type;
}

void TFTPThread::DetectServerType() {
  CollectReplies = true;
  int type = 0;
  if (Command("SYST") == 2) type = ServerTypeFromSyst(ReplyLines);
  if (type == 0) {
    Quiet = true;
    if (Command("HELP") == 2) type = ServerTypeFromHelp(ReplyLines);
    Quiet = false;
  }
  CollectReplies = false;
  Shared->ServerType = type != 0 ? type : UnixStandard;
}

void TFTPThread::ProbeResume() {
  Quiet = true;
  // Resuming is asked of binary files: some servers refuse REST in ASCII, the type a login
  // starts in. The type goes back afterwards (listings are read in ASCII).
  Command("TYPE I");
  bool canResume = Command("REST 1") == 3;
  Shared->CanResume = canResume;
  Command("REST 0");
  TypeLetter = Command("TYPE A") == 2 ? 'A' : 0;
  Quiet = false;
  NotifyLog(canResume ? "\r\nServer can resume broken downloads\r\n" : "\r\nServer unable to resume broken downloads\r\n",
            InfoColor);
}

void TFTPThread::AfterLogin() {
  AskFeatures();
  if (Shared->ServerType == 0) DetectServerType();
  if (int type = Shared->ServerType; type > NotRelevant)
    NotifyLog("\r\nServer Type: " + std::string(ServerTypeName(type)), InfoColor);
  if (Shared->HasOwner) ProbeResume();
  else Shared->CanResume = true;
  NotifyLoggedIn();
}

}  // namespace ferrowin
