// The progress window: its controls, the tab of each queue with work, the display of the
// shown queue, Skip, Cancel and the folding log.

#include "TransferProgress.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMovie>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTabBar>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "DataFolder.h"
#include "Format.h"
#include "Options.h"
#include "TranMan.h"
#include "Transfer.h"
#include "TransferProgressText.h"

namespace ferrowin {

TfrmTransfer::TfrmTransfer(TTransferItemsList& list, TPreferences& prefs)
    : QWidget(nullptr, Qt::Window), List(list), Prefs(prefs) {
  CreateControls();
  setMinimumSize(MinWidth, MinHeightUnfolded);
  resize(MinWidth, MinHeightUnfolded);
  Fold(true);  // the window starts folded
}

TfrmTransfer::~TfrmTransfer() { Detach(); }

void TfrmTransfer::CreateControls() {
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  aniCopy = new QLabel(this);
  aniCopy->setFixedSize(48, 32);
  aniCopy->setAlignment(Qt::AlignCenter);
  CopyClip = new QMovie(DataFolder() + QStringLiteral("Activity.ftp"), "GIF", this);
  if (CopyClip->isValid()) aniCopy->setMovie(CopyClip);
  else aniCopy->setPixmap(style()->standardIcon(QStyle::SP_FileDialogContentsView).pixmap(32, 32));
  tabQueues = new QTabBar(this);
  tabQueues->setExpanding(false);
  top->addWidget(aniCopy);
  top->addWidget(tabQueues, 1);
  layout->addLayout(top);
  auto* grid = new QGridLayout;
  auto label = [this](Qt::Alignment align = Qt::AlignLeft) {
    auto* l = new QLabel(this);
    l->setAlignment(align | Qt::AlignVCenter);
    return l;
  };
  lblFileName = label();
  lblFileBytes = label();
  lblFileElapsed = label();
  lblFileRemaining = label(Qt::AlignRight);
  lblFileCount = label();
  lblTotalBytes = label();
  lblTotalElapsed = label();
  lblTotalRemaining = label(Qt::AlignRight);
  lblSpeed = label(Qt::AlignRight);
  pbFile = new QProgressBar(this);
  pbTotal = new QProgressBar(this);
  for (QProgressBar* bar : {pbFile, pbTotal}) bar->setRange(0, 100);
  grid->addWidget(lblFileName, 0, 0, 1, 2);
  grid->addWidget(lblFileBytes, 1, 0, 1, 2);
  grid->addWidget(pbFile, 2, 0, 1, 2);
  grid->addWidget(lblFileElapsed, 3, 0);
  grid->addWidget(lblFileRemaining, 3, 1);
  grid->addWidget(lblFileCount, 4, 0);
  grid->addWidget(lblSpeed, 4, 1);
  grid->addWidget(lblTotalBytes, 5, 0, 1, 2);
  grid->addWidget(pbTotal, 6, 0, 1, 2);
  grid->addWidget(lblTotalElapsed, 7, 0);
  grid->addWidget(lblTotalRemaining, 7, 1);
  layout->addLayout(grid);
  auto* buttons = new QHBoxLayout;
  btnSkip = new QPushButton(QStringLiteral("&Skip"), this);
  btnSkip->setDefault(true);
  btnCancel = new QPushButton(QStringLiteral("&Cancel"), this);
  btnDetails = new QPushButton(QStringLiteral("&Details >>"), this);
  btnPin = new QToolButton(this);
  btnPin->setCheckable(true);
  btnPin->setToolTip(QStringLiteral("Keep this window open"));
  btnPin->hide();
  buttons->addWidget(btnPin);
  buttons->addStretch(1);
  buttons->addWidget(btnSkip);
  buttons->addWidget(btnCancel);
  buttons->addWidget(btnDetails);
  layout->addLayout(buttons);
  memoLog = new QPlainTextEdit(this);
  memoLog->setReadOnly(true);
  memoLog->setFixedHeight(LogDesignHeight);
  layout->addWidget(memoLog);
  layout->addStretch(0);
  tmrRefresh = new QTimer(this);
  tmrRefresh->setInterval(1000);
  // Refresh does nothing without a current item.
  connect(tmrRefresh, &QTimer::timeout, this, &TfrmTransfer::Refresh);
  tmrProgress = new QTimer(this);
  tmrProgress->setSingleShot(true);
  tmrProgress->setInterval(ProgressRefreshMs);
  connect(tmrProgress, &QTimer::timeout, this, &TfrmTransfer::Refresh);
  connect(tabQueues, &QTabBar::currentChanged, this, [this](int) { TabChange(); });
  connect(btnSkip, &QPushButton::clicked, this, &TfrmTransfer::btnSkipClick);
  connect(btnCancel, &QPushButton::clicked, this, &TfrmTransfer::btnCancelClick);
  connect(btnDetails, &QPushButton::clicked, this, &TfrmTransfer::btnDetailsClick);
  connect(btnPin, &QToolButton::toggled, this, [this](bool down) {
    btnPin->setIcon(style()->standardIcon(down ? QStyle::SP_DialogApplyButton : QStyle::SP_TitleBarNormalButton));
  });
  btnPin->setIcon(style()->standardIcon(QStyle::SP_TitleBarNormalButton));
  btnSkip->setEnabled(false);
  btnCancel->setEnabled(false);
}

int TfrmTransfer::TabCount() const { return tabQueues->count(); }

int TfrmTransfer::TabOf(const TTransferItems& queue) const {
  for (int i = 0; i < tabQueues->count(); ++i)
    if (tabQueues->tabData(i).value<void*>() == &queue) return i;
  return -1;
}

void TfrmTransfer::ShowQueue(TTransferItems& queue, bool show) {
  int tab = TabOf(queue);
  if (tab < 0) {
    const QSignalBlocker quiet(tabQueues);
    tab = tabQueues->addTab(QString::fromStdString(queue.Caption()));
    tabQueues->setTabData(tab, QVariant::fromValue(static_cast<void*>(&queue)));
  }
  if (!Shown) {
    const QSignalBlocker quiet(tabQueues);
    tabQueues->setCurrentIndex(tab);
    TabChange();
  }
  if (show && !isVisible()) this->show();  // showing runs the tab change
}

void TfrmTransfer::QueueGone(TTransferItems& queue) {
  if (Shown == &queue) Detach();
  const int tab = TabOf(queue);
  if (tab < 0) return;
  {
    const QSignalBlocker quiet(tabQueues);
    tabQueues->removeTab(tab);
  }
  TabChange();
}

void TfrmTransfer::Detach() {
  Current = nullptr;
  if (!Shown) return;
  TTransferItems& q = *Shown;
  Shown = nullptr;
  q.OnItemAdded = nullptr;
  q.OnItemStateChange = nullptr;
  q.OnItemStarted = nullptr;
  q.OnItemCompleted = nullptr;
  q.OnItemProgress = nullptr;
  q.OnConnect = nullptr;
  q.OnDisconnect = nullptr;
  q.OnError = nullptr;
  q.OnLog = nullptr;
}

void TfrmTransfer::Attach(TTransferItems& q) {
  Shown = &q;
  q.OnItemAdded = [this](TTransferItems& queue, TTransferItem& item) { ItemAdded(queue, item); };
  // (State changes reach the manager from the queue list itself: they go on after All done.)
  q.OnItemStarted = [this](TTransferItems& queue, TTransferItem& item) { ItemStarted(queue, item); };
  q.OnItemCompleted = [this](TTransferItems& queue, TTransferItem& item) { ItemCompleted(queue, item); };
  q.OnItemProgress = [this](TTransferItems&, TTransferItem&) { ProgressMade(); };
  q.OnConnect = [this](TTransferItems&, TFTPComponent&) {
    if (OnTransferConnection) OnTransferConnection(true);
    if (Current && Current->IsHTTP) EnableButtons();
  };
  q.OnDisconnect = [this](TTransferItems&, TFTPComponent&) {
    if (OnTransferConnection) OnTransferConnection(false);
  };
  q.OnError = [this](TTransferItems&, int, const std::string& message) { QueueError(message); };
  q.OnLog = [this](TTransferItems&, TFTPComponent&, const std::string& line, TColor color) { AddLog(line, color); };
}

void TfrmTransfer::TabChange() {
  Detach();
  if (tabQueues->count() == 0) {
    hide();
    return;
  }
  if (tabQueues->currentIndex() < 0) {
    const QSignalBlocker quiet(tabQueues);
    tabQueues->setCurrentIndex(0);
  }
  auto* queue = static_cast<TTransferItems*>(tabQueues->tabData(tabQueues->currentIndex()).value<void*>());
  ClearLog();
  for (const TQueueLogLine& line : queue->Log) AddLog(line.Message, line.Color);
  Attach(*queue);
  Current = queue->FirstInState(isBusy);
  Skipping = false;
  EnableButtons();
  if (Current) Refresh();
  else ResetDisplay(false);
}

void TfrmTransfer::EnableButtons() {
  const TFTPComponent* c = Current ? Current->Connection : nullptr;
  const bool can = c && (Current->IsHTTP ? c->Connected() : c->LoggedIn());
  btnSkip->setEnabled(can);
  btnCancel->setEnabled(can);
}

void TfrmTransfer::SetApplicationTitle(const QString& title) {
  AppTitle = title;
  if (OnApplicationTitle) OnApplicationTitle(title);
}

void TfrmTransfer::ProgressMade() {
  if (SinceRefresh.isValid() && SinceRefresh.elapsed() < ProgressRefreshMs) {
    if (!tmrProgress->isActive()) tmrProgress->start();
    return;
  }
  Refresh();
}

void TfrmTransfer::Refresh() {
  if (!Current || !Shown) return;
  SinceRefresh.start();
  tmrProgress->stop();
  TTransferItem& i = *Current;
  if (OnActivity) OnActivity(true);
  // The item started before its connection logged in: Skip and Cancel come with the login.
  if (!Skipping) EnableButtons();
  const TProgressTexts t = ProgressTexts(i, *Shown, i.Elapsed(), Shown->Elapsed());
  lblFileName->setText(QString::fromStdString(t.FileName));
  lblFileBytes->setText(QString::fromStdString(t.FileBytes));
  pbFile->setValue(t.FileBar);
  lblFileElapsed->setText(QString::fromStdString(t.FileElapsed));
  lblFileRemaining->setText(QString::fromStdString(t.FileRemaining));
  lblFileCount->setText(QString::fromStdString(t.FileCount));
  lblTotalBytes->setText(QString::fromStdString(t.TotalBytes));
  pbTotal->setValue(t.TotalBar);
  lblTotalElapsed->setText(QString::fromStdString(t.TotalElapsed));
  lblTotalRemaining->setText(QString::fromStdString(t.TotalRemaining));
  lblSpeed->setText(QString::fromStdString(t.Speed + "/sec"));
  if (isVisible()) {
    setWindowTitle(QString::fromStdString(t.Caption));
    SetApplicationTitle(RestingTitle());
  } else {
    setWindowTitle(QString::fromStdString(t.Long));
    SetApplicationTitle(QString::fromStdString(t.Long));
  }
  if (i.State == isBusy && i.Connection && i.Connection->LoggedIn()) {
    if (OnStatusText) OnStatusText(t.Long);
    if (Manager) Manager->SetStatus(i, BusyStatusText(i));
  } else {
    SetApplicationTitle(RestingTitle());
  }
  if (!tmrRefresh->isActive()) tmrRefresh->start();
}

void TfrmTransfer::ResetDisplay(bool finished) {
  if (finished && Shown) {
    TTransferItems* queue = Shown;
    Detach();
    const int tab = TabOf(*queue);
    const QSignalBlocker quiet(tabQueues);
    if (tab >= 0) tabQueues->removeTab(tab);
  }
  Current = nullptr;
  tmrRefresh->stop();
  setWindowTitle(QString());
  for (QLabel* l : {lblFileName, lblFileBytes, lblFileElapsed, lblFileRemaining, lblFileCount, lblTotalBytes,
                    lblTotalElapsed, lblTotalRemaining, lblSpeed})
    l->clear();
  pbFile->setValue(0);
  pbTotal->setValue(0);
  if (!btnPin->isChecked()) ClearLog();
  if (OnStatusText) OnStatusText("");
  SetApplicationTitle(RestingTitle());
}

void TfrmTransfer::Animate(bool running) {
  if (!CopyClip->isValid()) return;
  if (!running) CopyClip->setPaused(true);
  else if (CopyClip->state() == QMovie::NotRunning) CopyClip->start();
  else CopyClip->setPaused(false);
}

void TfrmTransfer::UpdateAnimation() {
  const bool work = List.StateCount(isPending) + List.StateCount(isBusy) > 0;
  Animate(work);
  if (OnActivity) OnActivity(work);
}

void TfrmTransfer::ItemAdded(TTransferItems& queue, TTransferItem& item) {
  Animate(true);
  if (OnActivity) OnActivity(true);
  if (Manager && Manager->ShownQueue() == &queue) Manager->AddRow(item);
}

void TfrmTransfer::ItemStarted(TTransferItems& queue, TTransferItem& item) {
  Current = &item;
  ShowQueue(queue, false);
  Current = &item;  // the tab change may have found another busy item first
  queue.AddLog(*item.Connection, "", NoColor);
  if (OnItemShown) OnItemShown();
  Skipping = false;
  EnableButtons();
}

void TfrmTransfer::ItemCompleted(TTransferItems& queue, TTransferItem& item) {
  if (OnFileEnded) OnFileEnded();
  if (OnFileTransferred) OnFileTransferred(item.LocalPath());
  Current = nullptr;
  if (queue.StateCount[isPending] == 0) AllDone();
}

void TfrmTransfer::AllDone() {
  if (!btnPin->isChecked() && List.StateCount(isBusy) == 1) close();
  ResetDisplay(true);
  TabChange();
  if (OnAllDone) OnAllDone();
  UpdateAnimation();
}

void TfrmTransfer::QueueError(const std::string& message) {
  if (OnThreadError) OnThreadError("Transfer Thread Error: " + message);
  AddLog(message, ErrorColor);
  // The running item's end follows its error and runs All done then: a login that is retried
  // after a refused attempt is not the end of the batch.
  if (Shown && Shown->StateCount[isPending] == 0 && Shown->StateCount[isBusy] == 0) AllDone();
}

void TfrmTransfer::btnSkipClick() {
  if (!Current) return;
  Skipping = true;
  btnSkip->setEnabled(false);
  if (OnStatusText) OnStatusText("Cancelling file...");
  Current->Skip();
}

void TfrmTransfer::btnCancelClick() {
  if (!Current || !Shown) return;
  Skipping = true;
  btnSkip->setEnabled(false);
  btnCancel->setEnabled(false);
  if (OnStatusText) OnStatusText("Cancelling all pending files...");
  Shown->CancelPending();
  Current->Skip();
  AllDone();
}

void TfrmTransfer::AddLog(const std::string& line, TColor color) {
  // A folded log only gathers its lines: laying out thousands of them nobody sees costs more
  // than the transfers of small files.
  Unshown.push_back({line, color});
  if (!IsFolded) ShowLogLines();
}

void TfrmTransfer::ClearLog() {
  Unshown.clear();
  memoLog->clear();
}

void TfrmTransfer::ShowLogLines() {
  QTextCursor cursor(memoLog->document());
  cursor.movePosition(QTextCursor::End);
  for (const TQueueLogLine& line : Unshown) {
    QTextCharFormat format;
    if (line.Color != NoColor)
      format.setForeground(QColor(line.Color & 0xFF, (line.Color >> 8) & 0xFF, (line.Color >> 16) & 0xFF));
    if (!memoLog->document()->isEmpty()) cursor.insertBlock();
    cursor.insertText(QString::fromStdString(line.Message), format);
  }
  Unshown.clear();
  // The newest line stays in view.
  memoLog->verticalScrollBar()->setValue(memoLog->verticalScrollBar()->maximum());
}

void TfrmTransfer::Fold(bool fold) {
  if (fold == IsFolded) return;
  IsFolded = fold;
  // Each new height is taken before the limits move: a new minimum resizes at once.
  if (fold) {
    LogHeight = memoLog->height() > 0 && memoLog->isVisible() ? memoLog->height() : LogHeight;
    const int target = height() - LogHeight - 8;
    memoLog->hide();
    setMinimumHeight(minimumHeight() - (LogDesignHeight + 8));
    resize(width(), target);
    setMaximumHeight(420 - LogDesignHeight);
    btnDetails->setText(QStringLiteral("&Details >>"));
  } else {
    const int target = height() + LogHeight + 8;
    setMaximumHeight(QWIDGETSIZE_MAX);
    setMinimumHeight(LogDesignHeight + minimumHeight() + 8);
    resize(width(), target);
    memoLog->setFixedHeight(LogHeight);
    memoLog->show();
    ShowLogLines();
    btnDetails->setText(QStringLiteral("<< &Details"));
  }
}

void TfrmTransfer::btnDetailsClick() { Fold(!IsFolded); }

void TfrmTransfer::ShowPin(bool shown) { btnPin->setVisible(shown); }

void TfrmTransfer::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  UpdateAnimation();
  btnPin->setChecked(Prefs.PinTransferWindow);
  TabChange();
}

void TfrmTransfer::closeEvent(QCloseEvent* event) {
  Animate(false);
  event->accept();  // hidden, not destroyed: nothing deletes it on close
}

}  // namespace ferrowin
