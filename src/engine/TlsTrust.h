#pragma once
// Trust in server certificates that the system's CA store does not vouch for: what the user
// decided (for this run, or for good in a file of the program's folder, per host and port)
// and how a worker asks the user without calling the user interface itself.

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "FTPCompEvents.h"
#include "TlsSession.h"

namespace ferrowin {

enum class TTrustAnswer { Cancel, Once, Always };
enum class TTrustState { Unknown, Trusted, Changed };

// The file of certificates trusted for good: one "host port fingerprint" line each.
std::string TrustedCertificatesFile();
// What is known of this certificate for host and port: trusted (this run or for good),
// unknown, or another certificate was trusted there.
TTrustState CertificateTrust(const std::string& host, int port, const std::string& fingerprint);
// Records the user's answer; Always replaces what the file held for host and port.
// False when the file could not be written (the certificate is still trusted for this run).
bool RememberTrust(const std::string& host, int port, const std::string& fingerprint, TTrustAnswer answer);
// Forgets what was trusted for this run only.
void ForgetSessionTrust();

// Asks the user about a certificate; runs on the user-interface thread. Unset (batch runs,
// tools): nobody is asked and an untrusted certificate fails the login.
using TCertificatePrompt = std::function<TTrustAnswer(const TCertificateInfo&)>;
void SetCertificatePrompt(TCertificatePrompt prompt);

// One question from a worker, answered once from the user-interface thread. The worker
// waits on WaitFd() with its abortable wait.
class TTrustQuestion {
 public:
  TTrustQuestion();
  ~TTrustQuestion();
  TTrustQuestion(const TTrustQuestion&) = delete;
  TTrustQuestion& operator=(const TTrustQuestion&) = delete;
  void Answer(TTrustAnswer answer);  // the first answer counts
  [[nodiscard]] bool Answered() const { return Done.load(); }
  [[nodiscard]] TTrustAnswer Result() const { return Value.load(); }
  [[nodiscard]] int WaitFd() const { return Fd; }

 private:
  int Fd = -1;
  std::atomic<bool> Done{false};
  std::atomic<TTrustAnswer> Value{TTrustAnswer::Cancel};
};

// Posted to the component's window; a record dropped unanswered (the component is gone)
// answers Cancel.
inline constexpr int CertificateQuestionCode = 1058;
struct TCertificateQuestionData : TEventRecord {
  TCertificateInfo Info;
  std::shared_ptr<TTrustQuestion> Question;
  ~TCertificateQuestionData() override {
    if (Question) Question->Answer(TTrustAnswer::Cancel);
  }
};

// The component's dispatcher hands the question here.
void AnswerCertificateQuestion(TEventRecord* record);

}  // namespace ferrowin
