#include "BatchRun.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTimer>

#include "Format.h"
#include "HostView.h"
#include "Prompts.h"
#include "Transfer.h"

namespace ferrowin {
namespace {

// What pressing Enter in a message box would choose.
QMessageBox::StandardButton DefaultButton(const TPrompt& prompt) {
  if (prompt.Default != QMessageBox::NoButton) return prompt.Default;
  for (QMessageBox::StandardButton b : {QMessageBox::Ok, QMessageBox::Yes, QMessageBox::YesToAll, QMessageBox::Save,
                                        QMessageBox::Open, QMessageBox::Retry, QMessageBox::Ignore, QMessageBox::No,
                                        QMessageBox::Cancel, QMessageBox::Close, QMessageBox::Abort})
    if (prompt.Buttons & b) return b;
  return QMessageBox::Ok;
}

std::string OneLine(QString text) { return text.replace(QRegularExpression("[\r\n]+"), " ").toStdString(); }

}  // namespace

TBatchRun::TBatchRun(TTransferItemsList& list, QObject* parent) : QObject(parent), List(list) {
  Tick = new QTimer(this);
  Tick->setInterval(250);
  connect(Tick, &QTimer::timeout, this, &TBatchRun::Check);
  Tick->start();
}

TBatchRun::~TBatchRun() {
  if (!Answering) return;
  SetPromptAnswerer(nullptr);
  SetDialogAnswerer(nullptr);
}

bool TBatchRun::HasScreen() {
  const QString platform = QGuiApplication::platformName();
  return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal") &&
         QGuiApplication::primaryScreen() != nullptr;
}

void TBatchRun::AnswerPromptsByDefault() {
  Answering = true;
  SetPromptAnswerer([this](const TPrompt& prompt) {
    const QMessageBox::StandardButton answer = DefaultButton(prompt);
    QMessageBox box;
    box.setStandardButtons(answer);
    const QString name = box.button(answer) ? box.button(answer)->text().remove('&') : QStringLiteral("OK");
    if (OnLog) OnLog(Format("No screen: \"%s\" answered %s", OneLine(prompt.Text), name.toStdString()));
    return answer;
  });
  SetDialogAnswerer([this](QDialog& dialog) {
    // The dialog's default button, as Enter would press it.
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
      if (!button->isDefault() || !button->isEnabled()) continue;
      if (OnLog)
        OnLog(Format("No screen: \"%s\" answered %s", OneLine(dialog.windowTitle()),
                     button->text().remove('&').toStdString()));
      dialog.setResult(QDialog::Rejected);
      button->click();
      return dialog.result();
    }
    if (OnLog) OnLog(Format("No screen: \"%s\" cancelled", OneLine(dialog.windowTitle())));
    return static_cast<int>(QDialog::Rejected);
  });
}

void TBatchRun::WatchConnection(THostView& view, bool receiving) {
  View = &view;
  Connecting = true;
  Receiving = receiving;
}

void TBatchRun::HostState(const THostView& view, int code) {
  if (&view != View.data()) return;
  if (code == hsLoggedIn) LoggedIn = true;
  if (!LoggedIn && (code == hsCantLogIn || code == hsDisconnected || code == hsError)) ConnectionEnded = true;
}

bool TBatchRun::ViewQuiet() {
  if (!View) return true;
  if (!View->Connected() && !View->FTP().Busy()) return true;
  if (View->Gathering || View->ChangingFolder() || View->Animating) {
    StaleTicks = 0;
    return false;
  }
  // A receive list still unapplied on a view at rest: its listing failed, nothing will come.
  return !View->ReceivePending() || ++StaleTicks >= MaxStaleTicks;
}

void TBatchRun::Check() {
  if (Ended()) return;
  if (Connecting && !LoggedIn) {
    if (!View) return End(1, "the connection's tab was closed");
    if (!ConnectionEnded || View->FTP().Busy()) return;
    const std::string reason = View->LoginRefusal();
    return End(1, Format("could not connect to or log in to %s%s", View->FTP().Host(),
                         reason.empty() ? std::string() : ": " + reason));
  }
  if (Connecting && !ViewQuiet()) return;
  if (List.StateCount(isPending) > 0 || List.StateCount(isBusy) > 0) return;
  int total = 0;
  std::vector<std::string> failed;
  for (int q = 0; q < List.Count(); ++q)
    for (const auto& item : List.Queue(q).Items) {
      ++total;
      if (item->State != isDone) failed.push_back(item->SourceFolder + item->SourceName);
    }
  if (Receiving && total == 0) return End(1, "the receive list selected nothing");
  if (failed.empty()) return End(0, "");
  std::string names;
  for (std::size_t i = 0; i < failed.size() && i < 5; ++i) names += (i ? ", " : "") + failed[i];
  if (failed.size() > 5) names += ", ...";
  End(1, Format("%d of %d transfers did not complete: %s", static_cast<int>(failed.size()), total, names));
}

void TBatchRun::End(int status, const std::string& reason) {
  Status = status;
  Tick->stop();
  if (OnEnded) OnEnded(status, reason);
}

}  // namespace ferrowin
