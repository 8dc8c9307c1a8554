#include "TlsTrust.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <vector>

#include "FTPUtils.h"

namespace ferrowin {
namespace {

struct TTrustEntry {
  std::string Host;
  int Port = 0;
  std::string Fingerprint;
};

struct TTrustMemory {
  std::mutex Lock;
  std::vector<TTrustEntry> Session;  // "Trust once" answers of this run
  TCertificatePrompt Prompt;
};

TTrustMemory& State() {
  static TTrustMemory& state = *new TTrustMemory;  // workers may outlive main
  return state;
}

std::vector<TTrustEntry> ReadEntries(const std::string& path) {
  std::vector<TTrustEntry> entries;
  std::ifstream file(path);
  std::string line;
  while (std::getline(file, line)) {
    std::istringstream fields(line);
    TTrustEntry e;
    if (fields >> e.Host >> e.Port >> e.Fingerprint) entries.push_back(std::move(e));
  }
  return entries;
}

bool WriteEntries(const std::string& path, const std::vector<TTrustEntry>& entries) {
  const std::string temporary = path + ".new";
  {
    std::ofstream file(temporary, std::ios::trunc);
    for (const TTrustEntry& e : entries) file << e.Host << ' ' << e.Port << ' ' << e.Fingerprint << '\n';
    if (!file.flush()) return false;
  }
  return std::rename(temporary.c_str(), path.c_str()) == 0;
}

TTrustState Lookup(const std::vector<TTrustEntry>& entries, const std::string& host, int port,
                   const std::string& fingerprint) {
  TTrustState state = TTrustState::Unknown;
  for (const TTrustEntry& e : entries) {
    if (e.Host != host || e.Port != port) continue;
    if (e.Fingerprint == fingerprint) return TTrustState::Trusted;
    state = TTrustState::Changed;
  }
  return state;
}

}  // namespace

std::string TrustedCertificatesFile() { return ProgramFilesFolder() + "TrustedCertificates.txt"; }

TTrustState CertificateTrust(const std::string& host, int port, const std::string& fingerprint) {
  std::lock_guard lock(State().Lock);
  if (Lookup(State().Session, host, port, fingerprint) == TTrustState::Trusted) return TTrustState::Trusted;
  return Lookup(ReadEntries(TrustedCertificatesFile()), host, port, fingerprint);
}

bool RememberTrust(const std::string& host, int port, const std::string& fingerprint, TTrustAnswer answer) {
  if (answer == TTrustAnswer::Cancel) return true;
  std::lock_guard lock(State().Lock);
  State().Session.push_back({host, port, fingerprint});
  if (answer != TTrustAnswer::Always) return true;
  const std::string path = TrustedCertificatesFile();
  std::vector<TTrustEntry> entries = ReadEntries(path);
  std::erase_if(entries, [&](const TTrustEntry& e) { return e.Host == host && e.Port == port; });
  entries.push_back({host, port, fingerprint});
  return WriteEntries(path, entries);
}

void ForgetSessionTrust() {
  std::lock_guard lock(State().Lock);
  State().Session.clear();
}

void SetCertificatePrompt(TCertificatePrompt prompt) {
  std::lock_guard lock(State().Lock);
  State().Prompt = std::move(prompt);
}

TTrustQuestion::TTrustQuestion() : Fd(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

TTrustQuestion::~TTrustQuestion() {
  if (Fd >= 0) ::close(Fd);
}

void TTrustQuestion::Answer(TTrustAnswer answer) {
  if (Done.load()) return;
  Value = answer;
  Done = true;
  (void)::eventfd_write(Fd, 1);
}

void AnswerCertificateQuestion(TEventRecord* record) {
  auto* question = dynamic_cast<TCertificateQuestionData*>(record);
  if (!question || !question->Question) return;
  TCertificatePrompt prompt;
  {
    std::lock_guard lock(State().Lock);
    prompt = State().Prompt;
  }
  question->Question->Answer(prompt ? prompt(question->Info) : TTrustAnswer::Cancel);
}

}  // namespace ferrowin
