#pragma once
// TfrmMain: the main window. It holds the preferences for the run, the host tabs (one host
// view and connection each) and the local tabs, the message log, and what is kept between
// runs in the registry stand-in.

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <memory>
#include <string>

#include "CommandLineOptions.h"
#include "FTPCompSettings.h"
#include "LastConnections.h"
#include "Manager.h"
#include "Options.h"

class QAction;
class QLabel;
class QMenu;
class QMovie;
class QSettings;
class QSplitter;
class QTabWidget;
class QToolBar;
class QToolButton;

namespace ferrowin {

class TCustomView;
class THostView;
class TListControl;
class TLocalView;
class TLogControl;
class TMaskMemory;
class TViewer;
class TLogArea;
class TSoundPlayer;
class TTreeCombo;
class TTransferItemsList;

enum class TSide { Local = 0, Host = 1 };

class TfrmMain : public QMainWindow {
  Q_OBJECT
 public:
  explicit TfrmMain(TStartOptions options = {});
  ~TfrmMain() override;

  TPreferences Prefs;
  TLastConnections LastConnections;
  std::string SettingsFile;
  std::string SitesFile;
  std::string ProgramFolder;
  std::string SisterEditor;  // empty: the editor is not installed

  [[nodiscard]] THostView* CurrentHostView() const;
  [[nodiscard]] TLocalView* CurrentLocalView() const;
  [[nodiscard]] THostView* HostViewAt(int index) const;
  [[nodiscard]] TLocalView* LocalViewAt(int index) const;
  [[nodiscard]] int ConnectedViews() const { return ConnectedCount; }

  void AddLastConnection(const std::string& name);
  void SavePreferences();
  void ApplyPreferences();
  void LoadColumnWidths(TSide side);
  void SaveColumnWidths(TSide side);

  THostView* NewHostView();
  TLocalView* NewLocalView();
  bool OpenLocalFolder(const std::string& folder, bool activate);
  void HostViewEvent(THostView& view, int code, int count);
  void LocalSelectionChanged(TLocalView& view, int count);
  void HostLog(QObject* sender, const std::string& text, TColor color);
  // An error nothing else handled: a red line in the log, never a crash dialog.
  void AppException(const QString& message);

  // Connections counted by the close question: open and either a view's or busy.
  [[nodiscard]] int ActiveConnections() const;
  void AbortAllConnections();
  // A second start asked this copy to come forward: raised as it is (maximized stays so),
  // only a minimized window is restored.
  void ComeForward();
  // Steps after the site manager: the tab, the password, the local folders, the request.
  void ConnectSite(const TSite& site, const std::string& files = {});
  // An ftp:// URL from the command line or a later copy: connects as the URL dialog does.
  bool ConnectURL(const std::string& url);
  // The server refused the view's login: its reason in a message, then (PromptForPass) the
  // password prompt again for that connection; OK tries once more, Cancel leaves it.
  void LoginRefused(THostView& view);
  // Connect to URL (toolbar, File menu, Ctrl+Shift+U): the dialog, then the connection.
  void ConnectURLDialog();

  // Toolbar and menus (what the connections and tabs need of them).
  QAction* btnConnect = nullptr;
  QAction* btnStop = nullptr;
  QAction* btnDisconnect = nullptr;
  QAction* btnShowLog = nullptr;
  QAction* mnuConnect = nullptr;
  QAction* mnuStop = nullptr;
  QAction* mnuDisconnect = nullptr;
  QAction* mnuExit = nullptr;
  QAction* mnuShowLog = nullptr;
  QAction* mnuPreferences = nullptr;
  QAction* mnuDisconnectTransfer = nullptr;
  QToolButton* btnUpload = nullptr;
  QToolButton* btnDownload = nullptr;
  std::unique_ptr<TTransferItemsList> TransferList;  // every transfer queue of the run
  QMenu* mnuLastConnect = nullptr;
  std::array<QAction*, TLastConnections::Count> mnuLast{};
  QToolButton* btnHostNew = nullptr;
  QToolButton* btnHostClose = nullptr;
  QToolButton* btnLocalNew = nullptr;
  QToolButton* btnLocalClose = nullptr;
  QTabWidget* pgctrlHost = nullptr;
  QTabWidget* pgctrlLocal = nullptr;
  TTreeCombo* cmboHostTree = nullptr;
  TLogControl* memoLog = nullptr;
  QLabel* aniActivity = nullptr;
  QLabel* lblBusy = nullptr;  // the busy panel shown over an animating host list

  // Handlers.
  void btnConnectClick();
  void mnuLast1Click(int slot);
  void mnuLastConnectClick();
  void btnHostNewClick();
  void btnDisconnectClick();
  void btnStopClick();
  void btnHostCloseClick();
  void btnLocalNewClick();
  void btnLocalCloseClick();
  void btnShowLogClick(bool shown);
  void mnuPreferencesClick();
  void pgctrlHostChange();
  void pgctrlLocalChange();
  void LocalFolderChanged();
  void btnUploadClick();
  void btnDownloadClick();
  void mnuDisconnectTransferClick();
  // Upload and Download only with something to send and a connected host tab.
  void UpdateTransferButtons();

  // Compare folders, file masks and the internal viewer.
  QAction* btnExplorer = nullptr;  // toolbar button 8, "Show Viewer"
  QAction* mnuShowViewer = nullptr;
  QAction* mnuCompareFolders = nullptr;
  QAction* mnuLocalMask = nullptr;
  QAction* mnuHostMask = nullptr;
  QWidget* pnlViewer = nullptr;  // over the log, in its place while shown
  QString ViewerStartPage;       // welcome.html of the program's data
  [[nodiscard]] TViewer* Viewer() const;
  void mnuCompareFoldersClick();
  // The mask dialog for the current host view (host) or local view.
  void btnLocalMaskClick(bool host);
  // The mask menu, set to serve the host or the local view.
  QMenu* MaskMenu(bool host);
  // A File Mask button: its click opens the dialog, its right button the mask menu.
  void AttachMaskButton(QToolButton* button, bool host);
  void popArchivesMaskClick(QAction* item);
  void btnExplorerClick(bool shown);
  void CreateViewer(bool hidden);
  void PreviewSelected(TListControl* list);
  void StopViewer();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void CreateControls();
  QWidget* CreateUpperArea();
  QWidget* CreateLocalSide();
  QWidget* CreateHostSide();
  void CreateMenus();
  void CreateTransferControls();
  void RestoreRegistryValues();
  void SaveRegistryValues();
  void LoadActivityAnimation();
  void DetectSisterEditor();
  bool FormCloseQuery();
  void FormClose();
  void FormActivate();
  void SetHostCaption(THostView& view, const QString& caption);
  void UpdateWindowCaption();
  void UpdateHostCommands(bool connected, bool animating, bool busy, int count);
  void PlaySound(TSoundEvent event);
  void PlaceBusyPanel();
  void SubscribeHostView(THostView& view);
  void SubscribeLocalView(TLocalView& view);
  void WatchSelection(TCustomView& view);
  TLocalView* AddLocalTab(const std::string& folder);
  void LoadColumnWidths(TSide side, TCustomView* view);
  [[nodiscard]] TCustomView* CurrentView(TSide side) const;
  void ApplyLogHeight();
  [[nodiscard]] int IndexOfHostView(const THostView& view) const;
  void CreateCompareMaskViewerActions();
  void PlaceCompareMaskViewerActions();
  void WatchPreview(TCustomView& view);
  void UpdateMaskMenu();
  void ReleaseViewer();
  [[nodiscard]] QString ChosenPage(std::int64_t& size) const;

  TStartOptions Start;
  std::unique_ptr<TSoundPlayer> Sounds;
  std::unique_ptr<TLogArea> LogArea;
  QToolBar* ToolBar = nullptr;
  QSplitter* MainSplitter = nullptr;  // upper area (toolbar and log) above the views
  QSplitter* ViewSplitter = nullptr;  // local side beside host side
  QMovie* Activity = nullptr;
  int ConnectedCount = 0;
  int LocalStyle = 2;
  int HostStyle = 2;
  bool FirstActivation = true;
  bool Closing = false;
  bool AbortedAll = false;  // the close question aborted the connections: exit without QUIT
  QPointer<THostView> BusyView;
  std::unique_ptr<TMaskMemory> Masks;
  QMenu* popMask = nullptr;
  bool MaskMenuHost = false;
  QPointer<TViewer> Browser;
};

}  // namespace ferrowin
