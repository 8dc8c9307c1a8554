// The delete confirmation.

#include "Format.h"
#include "TransferPrompts.h"

namespace ferrowin {

namespace {
QString CaptionOf(int count, bool isFolder) {
  if (count >= 2) return QStringLiteral("Confirm Multiple File Delete");
  return isFolder ? QStringLiteral("Confirm Folder Delete") : QStringLiteral("Confirm File Delete");
}

std::string PromptOf(int count, const std::string& name, bool isFolder) {
  if (count >= 2) return Format("Are you sure you want to delete these %d items?", count);
  if (isFolder) return Format("Are you sure you want to remove the folder %s and all its contents?", name);
  return Format("Are you sure you want to delete %s?", name);
}
}  // namespace

TfrmConfirm::TfrmConfirm(int count, const std::string& firstName, bool isFolder, QWidget* parent)
    : TButtonDialog(parent, CaptionOf(count, isFolder)) {
  AddText(QString::fromStdString(PromptOf(count, firstName, isFolder)));
  AddButtons({{QStringLiteral("&Yes"), QMessageBox::Yes}, {QStringLiteral("&No"), QMessageBox::No}}, QMessageBox::No,
             QMessageBox::No);
}

}  // namespace ferrowin
