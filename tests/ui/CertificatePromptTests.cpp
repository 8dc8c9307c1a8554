#include <gtest/gtest.h>

#include "CertificatePrompt.h"
#include "Prompts.h"

namespace ferrowin {
namespace {

TEST(CertificatePrompt, ShowsTheCertificateAndMapsTheButtons) {
  TCertificateInfo info{"ftp.example.org", 990,         "CN=ftp.example.org", "CN=Example CA", "2026-01-01 00:00:00 UTC",
                        "2027-01-01 00:00:00 UTC",      "AB:CD:EF",           "hostname mismatch"};
  struct TCase {
    QMessageBox::StandardButton Button;
    bool Changed;
    TTrustAnswer Answer;
  };
  for (const TCase& c : {TCase{QMessageBox::Yes, false, TTrustAnswer::Once},
                         TCase{QMessageBox::YesToAll, true, TTrustAnswer::Always},
                         TCase{QMessageBox::Cancel, false, TTrustAnswer::Cancel},
                         TCase{QMessageBox::Ok, false, TTrustAnswer::Cancel}}) {  // a batch answerer's default
    info.Changed = c.Changed;
    AskedPrompts().clear();
    SetPromptAnswerer([&](const TPrompt&) { return c.Button; });
    EXPECT_EQ(AskCertificateTrust(nullptr, info), c.Answer);
    ASSERT_EQ(AskedPrompts().size(), 1u);
    const TPrompt& p = AskedPrompts()[0];
    for (const char* part : {"ftp.example.org:990", "Subject: CN=ftp.example.org", "Issuer: CN=Example CA",
                             "Valid from: 2026-01-01", "Valid until: 2027-01-01", "AB:CD:EF"})
      EXPECT_TRUE(p.Text.contains(part)) << part;
    EXPECT_EQ(p.Text.contains("has CHANGED"), c.Changed);
    EXPECT_EQ(p.Text.contains("hostname mismatch"), !c.Changed);
    EXPECT_EQ(p.Default, QMessageBox::Cancel);
  }
  SetPromptAnswerer(nullptr);
}

}  // namespace
}  // namespace ferrowin
