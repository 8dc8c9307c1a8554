// Commands whose windows come later (viewer, compare, masks): present in the menus and the
// toolbar, with their texts, but disabled until then.

#include <QAction>
#include <QStyle>

#include "Main.h"

namespace ferrowin {

void TfrmMain::CreatePlaceholderActions() {
  auto make = [this](const QString& text, const QString& hint, const QKeySequence& key = {}) {
    auto* action = new QAction(text, this);
    action->setToolTip(hint);
    action->setShortcut(key);
    action->setEnabled(false);
    return action;
  };
  btnExplorer = make(QStringLiteral("Show Viewer"), QStringLiteral("Show Viewer"));
  btnExplorer->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
  btnExplorer->setCheckable(true);
  mnuShowViewer = make(QStringLiteral("View Internal &Viewer"), QStringLiteral("Show or hide the internal viewer"),
                       QKeySequence(Qt::Key_F10));
  mnuCompareFolders = make(QStringLiteral("&Compare Folders"), QStringLiteral("Compare the local and the server folder"));
  mnuLocalMask = make(QStringLiteral("Mas&k files"), QStringLiteral("File Mask"));
  mnuHostMask = make(QStringLiteral("Mas&k files"), QStringLiteral("File Mask"));
}

}  // namespace ferrowin
