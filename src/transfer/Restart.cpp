// The resume prompt.

#include "Format.h"
#include "TransferPrompts.h"

namespace ferrowin {

TfrmRestart::TfrmRestart(const std::string& name, QWidget* parent)
    : TButtonDialog(parent, QString::fromStdString(Format("Confirm Restart of %s", name))) {
  AddText(QStringLiteral(
      "It appears as though a previous transfer was not successfully completed. Although not all servers support "
      "this feature, would you like to try and resume the transfer where it left off?"));
  AddButtons({{QStringLiteral("&Yes"), QMessageBox::Yes},
              {QStringLiteral("&No"), QMessageBox::No},
              {QStringLiteral("Yes to &All"), QMessageBox::YesToAll},
              {QStringLiteral("No to A&ll"), QMessageBox::NoToAll}},
             QMessageBox::YesToAll, QMessageBox::No);
}

}  // namespace ferrowin
