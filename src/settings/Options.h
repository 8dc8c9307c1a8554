#pragma once
// The preference set: every user preference of the program, its place in the settings file
// and its default, with loading, saving and applying to the running engine. The main window
// holds one TPreferences for the whole run; every other part reads it from there.

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ferrowin {

// The event sounds, in the fixed order of the list (and of the [Sounds] keys).
enum class TSoundEvent { ConnectSuccess, ConnectFailure, Disconnect, EndOfFile, EndOfTotal, Error };
inline constexpr std::size_t SoundEventCount = 6;
inline constexpr std::array<std::string_view, SoundEventCount> SoundKeys = {
    "ConnectSuccess", "ConnectFailure", "Disconnect", "EndOfFile", "EndOfTotal", "Error"};
inline constexpr std::array<std::string_view, SoundEventCount> SoundCaptions = {
    "Connection success",  "Connection failure",   "Disconnection",
    "End of transfer",     "End of all transfers", "Error in the transfer"};

// The ASCII extension list when [FileTypes] is empty or absent.
inline constexpr std::array<std::string_view, 14> DefaultFileTypes = {
    ".1st", ".asc", ".asi", ".asp", ".cfm", ".css", ".diz", ".doc", ".htm", ".html", ".shtm", ".shtml", ".txt", ".text"};

inline constexpr std::size_t MaxRecentURLs = 20;

// Defaults the dialog falls back to for integer fields holding text that is not a number.
inline constexpr int DefaultRetryDelay = 5;
inline constexpr int DefaultRetries = 3;
inline constexpr int DefaultTimeout = 120;
inline constexpr int DefaultFirewallPort = 21;

inline constexpr std::string_view DefaultEMail = "ferrowin@example.com";
// The text viewer when none was chosen: the desktop's own handler for the file.
inline constexpr std::string_view DefaultViewer = "/usr/bin/xdg-open";

enum class TConversionCase { DontConvert = 0, Lower = 1, Upper = 2 };
enum class TConversionSpaces { Leave = 0, Remove = 1, Replace = 2 };

struct TPreferences {
  // [General]
  bool PinTransferWindow = false;
  std::string EMail{DefaultEMail};
  std::string Viewer{DefaultViewer};
  std::string LogFile;  // default: DefaultLogFile()
  bool LogToFile = false;
  bool ShowToolTips = true;
  std::string DefaultDir;

  // [Advanced]
  bool NoXferOlder = false;
  bool ASCIIOnView = true;
  bool PreserveTimeStamp = true;
  bool ConfirmOverwrites = true;
  bool ConfirmRestarts = true;
  bool ListHidden = false;
  int TryToResume = 1;  // 0 none, 1 binary files, 2 all files
  int LocalDblClk = 3;  // 0 properties, 1 view, 2 upload, 3 open
  int HostDblClk = 2;   // 0 properties, 1 view, 2 download, 3 open

  // [Connection]
  bool ShowManager = true;
  bool PromptForPass = true;
  bool Ping = true;
  bool UsePASV = true;
  bool QuickDisconnect = false;
  int RetryDelay = DefaultRetryDelay;  // seconds
  int Retries = DefaultRetries;
  bool InfiniteRetry = false;
  int Timeout = DefaultTimeout;  // seconds
  int TransferMode = 0;          // 0 auto, 1 ASCII, 2 binary, 3 EBCDIC, 4 local
  bool SingleConnectionsOnly = true;
  bool MachineListings = true;            // MLSD where the server has it
  std::string CodePage = "WINDOWS-1252";  // names that are not UTF-8 on "Auto" sites

  // [Conversions]
  int ConversionCase = 0;    // TConversionCase
  bool ConversionUseShortName = false;
  int ConversionSpaces = 0;  // TConversionSpaces
  std::string ConversionChar = "_";

  // [Firewall]
  bool FirewallEnabled = false;
  int FirewallType = 0;  // 0 site, 1 proxy, 2 user with login, 3 user without login
  std::string FirewallHost;
  int FirewallPort = DefaultFirewallPort;
  std::string FirewallUser;
  std::string FirewallPassword;

  // [Sounds], indexed by TSoundEvent; empty = no sound.
  std::array<std::string, SoundEventCount> Sounds;
  // [FileTypes]: extensions with their dot, as entered.
  std::vector<std::string> FileTypes{DefaultFileTypes.begin(), DefaultFileTypes.end()};
  // [URLs]: the recent URLs of the connect-to-URL dialog, most recent first.
  std::vector<std::string> URLs;

  [[nodiscard]] const std::string& Sound(TSoundEvent e) const { return Sounds[static_cast<std::size_t>(e)]; }
  bool operator==(const TPreferences&) const = default;
};

// Default file locations, in the program's folder for its own files (ProgramFilesFolder()).
// The main window keeps the paths it uses, so the command line can replace them.
inline constexpr std::string_view ProgramName = "ferrowin";
std::string DefaultSettingsFile();  // ferrowin.ini
std::string DefaultSitesFile();     // Sites.ini
std::string DefaultLogFile();       // ferrowin.log

// Whether an extension (with its dot) is in the list, ignoring case.
[[nodiscard]] bool HasFileType(const std::vector<std::string>& list, std::string_view extension);

// Sets the engine's process-wide settings and the hint display from the preferences, and
// gives every live FTP component the passive flag through applyToComponents (empty = none).
void ApplyPreferences(const TPreferences& prefs, const std::function<void(bool usePassive)>& applyToComponents = {});

// Reads every preference from the settings file (missing file or keys: the defaults; the
// legacy ConfirmLowerCase key is turned into ConversionCase and removed), then applies.
void LoadPreferences(TPreferences& prefs, const std::string& settingsFile,
                     const std::function<void(bool usePassive)>& applyToComponents = {});

// Writes every preference to the settings file ([FileTypes] and [URLs] are erased and written
// anew, at most MaxRecentURLs URLs), then applies. False when the file could not be written.
bool SavePreferences(const TPreferences& prefs, const std::string& settingsFile,
                     const std::function<void(bool usePassive)>& applyToComponents = {});

// Whether the application shows tool tips: follows ShowToolTips on every apply. The hint
// filter (installed on the application by ApplyPreferences when one exists) reads it.
[[nodiscard]] bool ShowHints();

}  // namespace ferrowin
