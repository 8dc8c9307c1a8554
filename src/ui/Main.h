#pragma once
// TfrmMain: the main window. It holds the preferences for the run, the host tabs (one host
// view and connection each) and the local tabs, the message log, and what is kept between
// runs in the registry stand-in.

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "CommandLineOptions.h"
#include "FTPCompSettings.h"
#include "LastConnections.h"
#include "Manager.h"
#include "Options.h"

class QAction;
class QLayout;
class QLineEdit;
class QLabel;
class QMenu;
class QMovie;
class QSettings;
class QSplitter;
class QTabWidget;
class QToolBar;
class QToolButton;

namespace ferrowin {

class TAutomationPanel;
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
class TTempFiles;
struct TProgramStart;
class TToolPanel;
class TBatchRun;
struct TTransferWindows;

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
  // The commands of the toolbar, the menus, the context menus and the tool buttons beside
  // the lists (created in MainToolbar, MainMenus, MainContextMenus, MainSideTools).
  QAction* btnConnectURL = nullptr;
  QAction* btnTransferMng = nullptr;
  QAction* btnMaximizeHost = nullptr;
  QAction* btnExplorer = nullptr;
  QAction* mnuConnectURL = nullptr;
  QAction* mnuCompareFolders = nullptr;
  QAction* mnuSelectAll = nullptr;
  QAction* mnuInvertSelect = nullptr;
  QMenu* mnuLocalEdit = nullptr;
  QMenu* mnuHostEdit = nullptr;
  QAction* mnuLocalRefresh = nullptr;
  QAction* mnuLocalNewFolder = nullptr;
  QAction* mnuLocalRename = nullptr;
  QAction* mnuLocalDelete = nullptr;
  QAction* mnuLocalMask = nullptr;
  QAction* mnuLocalCut = nullptr;
  QAction* mnuLocalCopy = nullptr;
  QAction* mnuLocalPaste = nullptr;
  QAction* mnuLocalProperties = nullptr;
  QAction* mnuHostRefresh = nullptr;
  QAction* mnuHostNewFolder = nullptr;
  QAction* mnuHostRename = nullptr;
  QAction* mnuHostDelete = nullptr;
  QAction* mnuHostMask = nullptr;
  QAction* mnuHostProperties = nullptr;
  QAction* mnuTransferMng = nullptr;
  QAction* mnuMaximizeHost = nullptr;
  QAction* mnuShowViewer = nullptr;
  QAction* mnuShowTransferInfo = nullptr;
  QAction* mnuHelpContents = nullptr;
  QAction* mnuHelpPointer = nullptr;
  QAction* mnuAbout = nullptr;
  QAction* mnuWebPage = nullptr;
  QMenu* popHost = nullptr;
  QAction* popHostOpen = nullptr;
  QAction* popHostView = nullptr;
  QAction* popHostDownload = nullptr;
  QAction* popHostDownloadNow = nullptr;
  QAction* popHostRename = nullptr;
  QAction* popHostDelete = nullptr;
  QMenu* popHostSendTo = nullptr;
  QMenu* popHostNew = nullptr;
  QAction* popHostProperties = nullptr;
  QMenu* PopLocal = nullptr;
  QMenu* PopLocalView = nullptr;
  QAction* PopLocalPaste = nullptr;
  QMenu* PopLocalNew = nullptr;
  QAction* PopLocalProperties = nullptr;
  QToolButton* btnLocalRefresh = nullptr;
  QToolButton* btnLocalNewFolder = nullptr;
  QToolButton* btnLocalDelete = nullptr;
  QToolButton* btnLocalRename = nullptr;
  QToolButton* btnLocalMask = nullptr;
  QToolButton* btnLocalChDir = nullptr;
  QToolButton* btnLocalUp = nullptr;
  QToolButton* btnLocalView = nullptr;
  QToolButton* btnLocalViewStyle = nullptr;
  QToolButton* btnLocalEdit = nullptr;
  QToolButton* btnHostRefresh = nullptr;
  QToolButton* btnHostNewFolder = nullptr;
  QToolButton* btnHostDelete = nullptr;
  QToolButton* btnHostRename = nullptr;
  QToolButton* btnHostMask = nullptr;
  QToolButton* btnHostChDir = nullptr;
  QToolButton* btnHostUp = nullptr;
  QToolButton* btnHostView = nullptr;
  QToolButton* btnHostViewStyle = nullptr;
  QToolButton* btnHostEdit = nullptr;
  QLineEdit* editLocalFolder = nullptr;  // the local address box: the whole path, editable
  [[nodiscard]] int ViewStyle(TSide side) const { return side == TSide::Local ? LocalStyle : HostStyle; }
  [[nodiscard]] TToolPanel* ToolPanel() const { return ToolBar; }
  [[nodiscard]] const std::vector<std::string>& TemporaryFiles() const;

  // Command handlers (MainFileCommands, MainSideTools, MainContextMenus).
  void btnHostRefreshClick();
  void btnLocalRefreshClick();
  void btnHostUpClick();
  void btnLocalUpClick();
  void btnHostChDirClick();
  void btnLocalChDirClick();
  void btnHostNewFolderClick();
  void btnLocalNewFolderClick();
  void btnHostDeleteClick();
  void btnLocalDeleteClick();
  // Delete without Shift asks first; with Shift it does not.
  void DeleteSelection(TSide side, Qt::KeyboardModifiers modifiers);
  void btnHostRenameClick();
  void btnLocalRenameClick();
  void mnuLocalCutClick();
  void mnuLocalCopyClick();
  void mnuLocalPasteClick();
  void PopLocalPropertiesClick();
  void popHostPropertiesClick();
  void mnuSelectAllClick();
  void mnuInvertSelectClick();
  void popHostDownloadClick();
  void popHostDownloadNowClick();
  void popHostOpenClick();
  void popHostViewClick();
  void popHostSendToAnyHostFolderClick();
  void popHostSendToAnyLocalFolderClick();
  void popHostSendToClipboardAsNameClick(bool asURL);
  void popHostPopup();
  void PopLocalPopup();
  // The Edit with entries for one side: enabled states on opening, then the chosen editor.
  void PopEditPopup(TSide side, QMenu* menu);
  void PopEditNotePadClick(TSide side, bool sisterEditor);
  void HostDblClick(THostView& view);
  void LocalDblClick(TLocalView& view, int item);
  // Local copies of remote files fetched to open (3), view (4) or edit (5).
  void HostFilesReady(THostView& view, const std::vector<std::string>& files, int mode);
  void btnLocalViewClick();
  void btnHostViewClick();
  void PopViewStylePopup(TSide side, QMenu* menu);
  void PopIconClick(TSide side, int style);
  void btnMaximizeHostClick(bool down);
  void BarMoveToolMouseMove(int y);
  void SetLargeToolBar(bool large);
  void UpdateLocalCommands(int count);

 private:
  void CreateToolBar(QWidget* parent);
  QLayout* CreateSideTools(TSide side, QWidget* parent);
  void CreateContextMenus();
  void UpdateHostFileCommands(bool connected, bool animating, bool busy, int count);
  void ApplyStyle(TSide side, int style);
  // A program that would not start: the message, once per failed start.
  void StartOrSay(const TProgramStart& start);
  [[nodiscard]] QString ViewerProgram() const;
  void RefreshFileCommands();
  void DragCentreStrip(int dx);
  void WatchCentreStrip(QWidget* strip);

 public:
  QToolButton* btnUpload = nullptr;
  QToolButton* btnDownload = nullptr;
  // The progress and manager windows; they go after the queue list they follow.
  std::unique_ptr<TTransferWindows> TransferWindows;
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
  TAutomationPanel* pnlOpenSave = nullptr;  // only in a copy started for an automation client

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
  void PairStatusBars();  // the current local and host views end level
  void LocalFolderChanged();
  void btnUploadClick();
  void btnDownloadClick();
  void mnuDisconnectTransferClick();
  // Upload and Download only with something to send and a connected host tab.
  void UpdateTransferButtons();
  void mnuShowTransferInfoClick(bool checked);
  void btnTransferMngClick(bool checked);
  // 0 unless a run with /x ended with something not done.
  [[nodiscard]] int ExitStatus() const;
  [[nodiscard]] TTransferWindows& TransferWindowSet() const { return *TransferWindows; }

  // Compare folders, file masks and the internal viewer.
  QWidget* pnlViewer = nullptr;  // over the log, in its place while shown
  QString ViewerStartPage;       // welcome.html of the program's data
  [[nodiscard]] TViewer* Viewer() const;
  void mnuCompareFoldersClick();
  // The mask dialog for the current host view (host) or local view.
  void btnLocalMaskClick(bool host);
  // The mask menu, set to serve the host or the local view.
  QMenu* MaskMenu(bool host);
  // A File Mask button's right button opens the mask menu (its click is the mask action).
  void AttachMaskMenu(QToolButton* button, bool host);
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
  void BecomeAutomationDialog();
  void CreateTransferWindowActions();
  void CreateTransferWindows();
  void TransferWindowsAllDone();
  bool RunCommandLine();  // false: the command line named no server and no /x run
  void StartBatch();
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
  void PlaceCompareMaskViewerControls();
  void WatchPreview(TCustomView& view);
  void UpdateMaskMenu();
  void ReleaseViewer();
  [[nodiscard]] QString ChosenPage(std::int64_t& size) const;

  TStartOptions Start;
  std::unique_ptr<TSoundPlayer> Sounds;
  std::unique_ptr<TLogArea> LogArea;
  TToolPanel* ToolBar = nullptr;
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
  std::unique_ptr<TTempFiles> TempFiles;
  QWidget* LocalSide = nullptr;
  QWidget* HostSpacer = nullptr;
  QWidget* CentreStrip = nullptr;
  int StripPressWidth = 0;
  TBatchRun* Batch = nullptr;     // the /x run, a child of the window
  bool BatchClosing = false;      // the /x run closes: no question
  std::unique_ptr<TMaskMemory> Masks;
  QMenu* popMask = nullptr;
  bool MaskMenuHost = false;
  QPointer<TViewer> Browser;
};

}  // namespace ferrowin
