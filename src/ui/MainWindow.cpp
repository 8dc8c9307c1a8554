// The main window's life: creation, what is restored from and saved to the registry stand-in
// and the settings file, the first activation, and the close question.

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMovie>
#include <QSettings>
#include <QSplitter>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTimer>

#include "AutomationHooks.h"
#include "DataFolder.h"
#include "FTPComp.h"
#include "FTPUtils.h"
#include "HostView.h"
#include "LogControl.h"
#include "LoclView.h"
#include "Main.h"
#include "MaskMemory.h"
#include "Viewer.h"
#include "Prompts.h"
#include "SoundPlayer.h"
#include "TempFiles.h"
#include "ToolPanel.h"
#include "Transfer.h"
#include "TransferWindows.h"

namespace ferrowin {
namespace {

constexpr const char* MainKey = "Windows/Main/";
constexpr int DefaultLeft = 135, DefaultTop = 94, DefaultWidth = 669, DefaultHeight = 478;
constexpr int DefaultLogHeight = 125;
constexpr int SmallToolBar = TToolPanel::SmallHeight;

int ReadInt(QSettings& registry, const QString& key, int fallback) {
  bool ok = false;
  int value = registry.value(key).toString().toInt(&ok);
  return ok ? value : fallback;
}

void WriteInt(QSettings& registry, const QString& key, int value) { registry.setValue(key, QString::number(value)); }

}  // namespace

TfrmMain::TfrmMain(TStartOptions options)
    : Start(std::move(options)), Sounds(std::make_unique<TSoundPlayer>()), TempFiles(std::make_unique<TTempFiles>()) {
  QApplication::setApplicationDisplayName(QString());
  QCoreApplication::setApplicationName(QStringLiteral("Ferrowin"));
  SetApplicationExceptionHandler([this](const std::exception& e) { AppException(QString::fromStdString(e.what())); });
  SettingsFile = Start.SettingsFile.empty() ? DefaultSettingsFile() : Start.SettingsFile;
  SitesFile = Start.SitesFile.empty() ? DefaultSitesFile() : Start.SitesFile;
  LoadPreferences(Prefs, SettingsFile, [](bool passive) {
    for (auto* c : TFTPComponent::FTPComponents()) c->SetPassive(passive);
  });
  ProgramFolder = QFileInfo(QCoreApplication::applicationFilePath()).absolutePath().toStdString() + "/";
  DetectSisterEditor();
  CreateControls();
  CreateTransferControls();
  CreateTransferWindows();
  NewLocalView();
  NewHostView();
  if (AutomationServer()) BecomeAutomationDialog();  // a client's dialog: nothing from the registry
  else RestoreRegistryValues();
  setWindowTitle(QStringLiteral("Disconnected - Ferrowin"));
  LoadActivityAnimation();
}

TfrmMain::~TfrmMain() {
  SetApplicationExceptionHandler(nullptr);
  // Views go before the controls they report to.
  for (QTabWidget* tabs : {pgctrlHost, pgctrlLocal})
    while (tabs && tabs->count() > 0) delete tabs->widget(0);
}

void TfrmMain::AppException(const QString& message) { HostLog(this, message.toStdString(), ErrorColor); }

void TfrmMain::ApplyPreferences() {
  ferrowin::ApplyPreferences(Prefs, [](bool passive) {
    for (auto* c : TFTPComponent::FTPComponents()) c->SetPassive(passive);
  });
}

void TfrmMain::SavePreferences() {
  if (!ferrowin::SavePreferences(Prefs, SettingsFile))
    AppException(QStringLiteral("Cannot write the settings file %1").arg(QString::fromStdString(SettingsFile)));
  ApplyPreferences();
}

void TfrmMain::AddLastConnection(const std::string& name) {
  mnuLastConnect->setEnabled(true);
  LastConnections.Add(QString::fromStdString(name));
}

// The sister editor: a desktop entry pennifold.desktop in the application folders, else a
// pennifold program on PATH.
void TfrmMain::DetectSisterEditor() {
  QString entry = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, QStringLiteral("pennifold.desktop"));
  if (!entry.isEmpty()) {
    QSettings desktop(entry, QSettings::IniFormat);
    QString command = desktop.value(QStringLiteral("Desktop Entry/Exec")).toString().trimmed();
    if (!command.isEmpty()) {
      int slash = command.lastIndexOf('/');
      QString name = command.mid(slash + 1);
      SisterEditor = (command.left(slash + 1) + name.section(' ', 0, 0)).toStdString();
      return;
    }
  }
  SisterEditor = QStandardPaths::findExecutable(QStringLiteral("pennifold")).toStdString();
}

void TfrmMain::LoadActivityAnimation() {
  Activity = new QMovie(DataFolder() + QStringLiteral("Activity.ftp"), "GIF", this);
  if (!Activity->isValid()) return;  // no clip: the control stays empty
  aniActivity->setMovie(Activity);
  Activity->jumpToFrame(std::min(10, std::max(0, Activity->frameCount() - 1)));
  lblBusy->setMovie(Activity);
}

void TfrmMain::RestoreRegistryValues() {
  auto registry = OpenRegistry();
  LastConnections.Load(*registry);
  mnuLastConnect->setEnabled(LastConnections.Any());
  const QString main = QString::fromLatin1(MainKey);
  LocalStyle = ReadInt(*registry, main + "LocalViewStyle", 2);
  HostStyle = ReadInt(*registry, main + "HostViewStyle", 2);
  for (int i = 0; i < pgctrlLocal->count(); ++i) LocalViewAt(i)->ListView()->SetViewStyle(static_cast<TViewStyle>(LocalStyle & 3));
  for (int i = 0; i < pgctrlHost->count(); ++i) HostViewAt(i)->ListView()->SetViewStyle(static_cast<TViewStyle>(HostStyle & 3));
  const int toolBarMin = ReadInt(*registry, "Options/ToolBarMin", SmallToolBar);
  ToolBar->SetLarge(toolBarMin >= 60);
  const int topRow = std::max(ToolBar->height(), aniActivity->height());
  LogArea = std::make_unique<TLogArea>(topRow, 4, ReadInt(*registry, main + "LogHeight", DefaultLogHeight));
  {
    // A log closed hidden starts hidden, with the button up: its first press shows it.
    const QSignalBlocker quiet(btnShowLog);
    btnShowLog->setChecked(LogArea->LogShown());
  }
  setGeometry(ReadInt(*registry, main + "Left", DefaultLeft), ReadInt(*registry, main + "Top", DefaultTop),
              ReadInt(*registry, main + "Width", DefaultWidth), ReadInt(*registry, main + "Height", DefaultHeight));
  const int state = ReadInt(*registry, main + "State", 0);
  if (state == 2) setWindowState(Qt::WindowMaximized);
  else if (state == 1) setWindowState(Qt::WindowMinimized);
  ApplyLogHeight();
}

void TfrmMain::SaveRegistryValues() {
  auto registry = OpenRegistry();
  LastConnections.Save(*registry);
  const QString main = QString::fromLatin1(MainKey);
  WriteInt(*registry, "Options/ToolBarMin", ToolBar->height());
  const int state = isMaximized() ? 2 : isMinimized() ? 1 : 0;
  WriteInt(*registry, main + "State", state);
  if (state == 0) {  // a maximized window keeps the bounds it had before
    WriteInt(*registry, main + "Left", geometry().x());
    WriteInt(*registry, main + "Top", geometry().y());
    WriteInt(*registry, main + "Width", geometry().width());
    WriteInt(*registry, main + "Height", geometry().height());
  }
  WriteInt(*registry, main + "LocalViewStyle", LocalStyle);
  WriteInt(*registry, main + "HostViewStyle", HostStyle);
  WriteInt(*registry, main + "LogHeight", LogArea->Height());
}

namespace {
QString ColumnWidthKey(TSide side, int column) {
  return QString::fromLatin1(MainKey) + "Column Widths/" + (side == TSide::Local ? "LocalCol" : "HostCol") +
         QString::number(column);
}
}  // namespace

TCustomView* TfrmMain::CurrentView(TSide side) const {
  return side == TSide::Local ? static_cast<TCustomView*>(CurrentLocalView()) : CurrentHostView();
}

void TfrmMain::LoadColumnWidths(TSide side) { LoadColumnWidths(side, CurrentView(side)); }

void TfrmMain::LoadColumnWidths(TSide side, TCustomView* view) {
  if (!view) return;
  auto registry = OpenRegistry();
  TListControl* list = view->ListView();
  for (int i = 0; i < std::min(list->ColumnCount(), 4); ++i)
    list->SetColumnWidth(i, ReadInt(*registry, ColumnWidthKey(side, i), list->ColumnWidth(i)));
}

void TfrmMain::SaveColumnWidths(TSide side) {
  TCustomView* view = CurrentView(side);
  if (!view) return;
  auto registry = OpenRegistry();
  TListControl* list = view->ListView();
  for (int i = 0; i < std::min(list->ColumnCount(), 4); ++i) WriteInt(*registry, ColumnWidthKey(side, i), list->ColumnWidth(i));
}

void TfrmMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!FirstActivation) return;
  if (TLocalView* local = CurrentLocalView()) {
    std::string folder = Prefs.DefaultDir.empty() ? QDir::currentPath().toStdString() : Prefs.DefaultDir;
    local->ChangeFolder(folder);
  }
  // The local side gets half of the width; the first activation acts once the window is up
  // (it may open the site manager).
  ViewSplitter->setSizes({1000, 0, 1000});  // half each beside the Upload/Download strip; equal stretch keeps it so
  QTimer::singleShot(0, this, &TfrmMain::FormActivate);
}

bool TfrmMain::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate && FirstActivation) QTimer::singleShot(0, this, &TfrmMain::FormActivate);
  return QMainWindow::event(event);
}

void TfrmMain::FormActivate() {
  if (!FirstActivation) return;
  FirstActivation = false;
  if (RunCommandLine()) return;
  if (!Start.URL.empty()) {
    ConnectURL(Start.URL);
  } else if (Prefs.ShowManager) {
    btnConnectClick();
  }
}

int TfrmMain::ActiveConnections() const {
  int count = 0;
  for (const TFTPComponent* c : TFTPComponent::FTPComponents())
    if (c->Connected() && (c->Owner() || c->Busy())) ++count;
  return count;
}

void TfrmMain::ComeForward() {
  if (isMinimized()) setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  show();
  raise();
  activateWindow();
}

void TfrmMain::AbortAllConnections() {
  AbortedAll = true;
  EngineSettings().QuickDisconnect = true;
  QCoreApplication::processEvents();
  const auto& components = TFTPComponent::FTPComponents();
  for (auto it = components.rbegin(); it != components.rend(); ++it) (*it)->Logout();
  QCoreApplication::processEvents();
}

bool TfrmMain::FormCloseQuery() {
  const int count = ActiveConnections();
  if (count == 0) return true;
  TPrompt prompt;
  prompt.Text = QStringLiteral("Are you sure you wish to quit?\r\nThere are still %1 active connections.").arg(count);
  prompt.Icon = QMessageBox::Question;
  prompt.Buttons = QMessageBox::Yes | QMessageBox::No;
  if (Ask(this, prompt) != QMessageBox::Yes) return false;
  AbortAllConnections();
  return true;
}

void TfrmMain::FormClose() {
  ReleaseViewer();  // its fetch ends and its copies go
  SavePreferences();
  // Applying the preferences above must not bring QUIT back to connections just aborted.
  if (AbortedAll) EngineSettings().QuickDisconnect = true;
  if (Prefs.LogToFile) {
    QString error;
    QString path = QString::fromStdString(Prefs.LogFile.empty() ? DefaultLogFile() : Prefs.LogFile);
    if (!memoLog->SaveToFile(path, &error)) AppException(error);
  }
  SaveRegistryValues();
  SaveColumnWidths(TSide::Local);
  SaveColumnWidths(TSide::Host);
}

void TfrmMain::closeEvent(QCloseEvent* event) {
  if (Closing || (!BatchClosing && !FormCloseQuery())) {
    if (!Closing) event->ignore();
    return;
  }
  Closing = true;
  FormClose();
  event->accept();
}

}  // namespace ferrowin
