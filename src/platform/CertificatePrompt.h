#pragma once
// The question about a server certificate that the system does not vouch for, asked through
// the prompt service: "Trust once", "Always trust" or "Cancel".

#include <QWidget>

#include "TlsTrust.h"

namespace ferrowin {

TTrustAnswer AskCertificateTrust(QWidget* parent, const TCertificateInfo& info);
// Makes the engine ask the user (over the active window) from now on.
void InstallCertificatePrompt();

}  // namespace ferrowin
