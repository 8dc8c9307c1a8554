#include "ViewTestWindow.h"

#include <QSplitter>
#include <QVBoxLayout>

namespace ferrowin {

TViewTestWindow::TViewTestWindow(const TPreferences* prefs, QWidget* parent) : QWidget(parent) {
  setWindowTitle(QStringLiteral("Views - Ferrowin"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  auto* splitter = new QSplitter(Qt::Horizontal, this);
  layout->addWidget(splitter);

  auto* localSheet = new QWidget(splitter);
  LocalView = new TLocalView(localSheet);

  auto* hostSide = new QWidget(splitter);
  auto* hostLayout = new QVBoxLayout(hostSide);
  hostLayout->setContentsMargins(0, 0, 0, 0);
  TreeBox = new TTreeCombo(hostSide);
  hostLayout->addWidget(TreeBox);
  auto* hostSheet = new QWidget(hostSide);
  hostLayout->addWidget(hostSheet, 1);
  HostView = new THostView(hostSheet, prefs);
  HostView->SetTreeCombo(TreeBox);
  TreeBox->OnChange = [this](TTreeCombo& tree) { HostView->TreeChange(tree); };
  HostView->OnTransfer = [this](TCustomView&, TCustomView*& destination) { destination = LocalView; };
  splitter->setSizes({400, 400});
  resize(900, 520);
}

void TViewTestWindow::SetViewStyle(TViewStyle style) {
  LocalView->ListView()->SetViewStyle(style);
  HostView->ListView()->SetViewStyle(style);
}

}  // namespace ferrowin
