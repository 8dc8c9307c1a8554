#include "CertificatePrompt.h"

#include <QApplication>

#include "Prompts.h"

namespace ferrowin {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

QString TrustText(const TCertificateInfo& c) {
  const QString server = QStringLiteral("%1:%2").arg(Q(c.Host)).arg(c.Port);
  QString text = c.Changed ? QStringLiteral("The certificate of %1 has CHANGED since you trusted it. Someone may be "
                                            "intercepting the connection, or the server has a new certificate.")
                                 .arg(server)
                           : QStringLiteral("The certificate of %1 is not trusted: %2.").arg(server, Q(c.Problem));
  text += QStringLiteral("\n\nSubject: %1\nIssuer: %2\nValid from: %3\nValid until: %4\nSHA-256 fingerprint:\n%5\n\n"
                         "Connect to this server anyway?")
              .arg(Q(c.Subject), Q(c.Issuer), Q(c.ValidFrom), Q(c.ValidTo), Q(c.Fingerprint));
  return text;
}

}  // namespace

TTrustAnswer AskCertificateTrust(QWidget* parent, const TCertificateInfo& info) {
  TPrompt prompt;
  prompt.Text = TrustText(info);
  prompt.Icon = QMessageBox::Warning;
  prompt.Buttons = QMessageBox::Yes | QMessageBox::YesToAll | QMessageBox::Cancel;
  prompt.Default = QMessageBox::Cancel;
  prompt.ButtonTexts = {{QMessageBox::Yes, QStringLiteral("Trust &once")},
                        {QMessageBox::YesToAll, QStringLiteral("&Always trust")}};
  switch (Ask(parent, prompt)) {
    case QMessageBox::Yes: return TTrustAnswer::Once;
    case QMessageBox::YesToAll: return TTrustAnswer::Always;
    default: return TTrustAnswer::Cancel;
  }
}

void InstallCertificatePrompt() {
  SetCertificatePrompt([](const TCertificateInfo& info) { return AskCertificateTrust(QApplication::activeWindow(), info); });
}

}  // namespace ferrowin
