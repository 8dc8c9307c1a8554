// The About box.
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

#include "DataFolder.h"
#include "Help.h"
#include "Prompts.h"

namespace ferrowin {

namespace {

// The icon the executable gave the application, else the installed theme's, else the file
// of a build-folder run.
QIcon ProgramIcon() {
  if (!QApplication::windowIcon().isNull()) return QApplication::windowIcon();
  QIcon icon = QIcon::fromTheme(QStringLiteral("ferrowin"));
  if (icon.isNull()) icon = QIcon(DataFolder() + QStringLiteral("icons/ferrowin-256.png"));
  return icon;
}

}  // namespace

void ShowAbout(QWidget* parent) {
  QDialog about(parent);
  about.setObjectName(QStringLiteral("frmAbout"));
  about.setWindowTitle(QStringLiteral("About Ferrowin"));
  auto* layout = new QVBoxLayout(&about);
  auto* row = new QHBoxLayout;
  auto* imgIcon = new QLabel(&about);
  imgIcon->setObjectName(QStringLiteral("imgIcon"));
  imgIcon->setPixmap(ProgramIcon().pixmap(64, 64));
  imgIcon->setAlignment(Qt::AlignTop);
  auto* lblText = new QLabel(&about);
  lblText->setObjectName(QStringLiteral("lblVersion"));
  lblText->setText(QStringLiteral("<p><b>Ferrowin</b><br>Version %1</p>"
                                  "<p>An FTP client: several servers at once, transfer queues with resume,<br>"
                                  "a site manager and a log of every command and reply.</p>")
                       .arg(QStringLiteral(FERROWIN_VERSION)));
  row->addWidget(imgIcon);
  row->addSpacing(12);
  row->addWidget(lblText, 1);
  layout->addLayout(row);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &about);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &about, &QDialog::accept);
  layout->addWidget(buttons);
  about.layout()->setSizeConstraint(QLayout::SetFixedSize);
  RunModal(about);
}

}  // namespace ferrowin
