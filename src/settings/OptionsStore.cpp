// Loading, saving and applying the preference set.
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <limits>

#include "FTPCompSettings.h"
#include "FTPUtils.h"
#include "HintFilter.h"
#include "IniFile.h"
#include "NameCodec.h"
#include "Options.h"

namespace ferrowin {

namespace {

constexpr std::string_view General = "General";
constexpr std::string_view Advanced = "Advanced";
constexpr std::string_view Connection = "Connection";
constexpr std::string_view Conversions = "Conversions";
constexpr std::string_view Firewall = "Firewall";
constexpr std::string_view Sounds = "Sounds";
constexpr std::string_view FileTypes = "FileTypes";
constexpr std::string_view URLs = "URLs";

char LowerASCII(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return LowerASCII(x) == LowerASCII(y);
         });
}

// The values of a list section in file order, empty values left out.
std::vector<std::string> ReadList(const TIniFile& ini, std::string_view section) {
  std::vector<std::string> list;
  for (auto& [key, value] : ini.ReadSectionValues(section))
    if (!value.empty()) list.push_back(value);
  return list;
}

void LoadGeneral(TPreferences& p, const TIniFile& ini) {
  p.PinTransferWindow = ini.ReadBool(General, "PinTransferWindow", false);
  p.EMail = ini.ReadString(General, "EMail", "");
  if (p.EMail.empty()) p.EMail = DefaultEMail;
  p.Viewer = ini.ReadString(General, "Viewer", DefaultViewer);
  p.LogFile = ini.ReadString(General, "LogFile", DefaultLogFile());
  p.LogToFile = ini.ReadBool(General, "LogToFile", false);
  p.ShowToolTips = ini.ReadBool(General, "ShowToolTips", true);
  p.DefaultDir = ini.ReadString(General, "DefaultDir", "");
}

void LoadAdvanced(TPreferences& p, const TIniFile& ini) {
  p.NoXferOlder = ini.ReadBool(Advanced, "NoXferOlder", false);
  p.ASCIIOnView = ini.ReadBool(Advanced, "ASCIIOnView", true);
  p.PreserveTimeStamp = ini.ReadBool(Advanced, "PreserveTimeStamp", true);
  p.ConfirmOverwrites = ini.ReadBool(Advanced, "ConfirmOverwrites", true);
  p.ConfirmRestarts = ini.ReadBool(Advanced, "ConfirmRestarts", true);
  p.ListHidden = ini.ReadBool(Advanced, "ListHidden", false);
  p.TryToResume = ini.ReadInteger(Advanced, "TryToResume", 1);
  p.LocalDblClk = ini.ReadInteger(Advanced, "LocalDblClk", 3);
  p.HostDblClk = ini.ReadInteger(Advanced, "HostDblClk", 2);
}

void LoadConnection(TPreferences& p, const TIniFile& ini) {
  p.ShowManager = ini.ReadBool(Connection, "ShowManager", true);
  p.PromptForPass = ini.ReadBool(Connection, "PromptForPass", true);
  p.Ping = ini.ReadBool(Connection, "Ping", true);
  // Passive unless the file says otherwise: active mode fails behind address translation.
  p.UsePASV = ini.ReadBool(Connection, "UsePASV", true);
  p.QuickDisconnect = ini.ReadBool(Connection, "QuickDisconnect", false);
  p.RetryDelay = ini.ReadInteger(Connection, "RetryDelay", DefaultRetryDelay);
  p.Retries = ini.ReadInteger(Connection, "Retries", DefaultRetries);
  p.InfiniteRetry = ini.ReadBool(Connection, "InfiniteRetry", false);
  p.Timeout = ini.ReadInteger(Connection, "Timeout", DefaultTimeout);
  p.TransferMode = ini.ReadInteger(Connection, "TransferMode", 0);
  p.SingleConnectionsOnly = ini.ReadBool(Connection, "SingleConnectionsOnly", true);
  p.MachineListings = ini.ReadBool(Connection, "MachineListings", true);
  p.CodePage = ini.ReadString(Connection, "CodePage", "WINDOWS-1252");
}

// Older versions only knew "lower case or not"; that choice seeds the case conversion once.
void LoadConversions(TPreferences& p, TIniFile& ini) {
  int defaultCase = 0;
  if (ini.ValueExists(Advanced, "ConfirmLowerCase")) {
    defaultCase = ini.ReadBool(Advanced, "ConfirmLowerCase", false) ? 1 : 0;
    ini.DeleteKey(Advanced, "ConfirmLowerCase");
  }
  p.ConversionCase = ini.ReadInteger(Conversions, "ConversionCase", defaultCase);
  p.ConversionUseShortName = ini.ReadBool(Conversions, "ConversionUseShortName", false);
  p.ConversionSpaces = ini.ReadInteger(Conversions, "ConversionSpaces", 0);
  p.ConversionChar = ini.ReadString(Conversions, "ConversionChar", "_");
}

void LoadFirewall(TPreferences& p, const TIniFile& ini) {
  p.FirewallEnabled = ini.ReadBool(Firewall, "Enabled", false);
  p.FirewallType = ini.ReadInteger(Firewall, "Type", 0);
  p.FirewallHost = ini.ReadString(Firewall, "Host", "");
  p.FirewallPort = ini.ReadInteger(Firewall, "Port", DefaultFirewallPort);
  p.FirewallUser = ini.ReadString(Firewall, "User", "");
  p.FirewallPassword = ini.ReadString(Firewall, "Password", "");
}

void LoadLists(TPreferences& p, const TIniFile& ini) {
  for (std::size_t i = 0; i < SoundEventCount; ++i) p.Sounds[i] = ini.ReadString(Sounds, SoundKeys[i], "");
  p.FileTypes = ReadList(ini, FileTypes);
  if (p.FileTypes.empty()) p.FileTypes.assign(DefaultFileTypes.begin(), DefaultFileTypes.end());
  p.URLs.clear();
  for (std::string& url : ReadList(ini, URLs))
    if (std::find(p.URLs.begin(), p.URLs.end(), url) == p.URLs.end()) p.URLs.push_back(std::move(url));
}

// Each write reports failure; saving goes on with the other keys and reports at the end.
struct TWriter {
  TIniFile& Ini;
  bool Ok = true;
  void Str(std::string_view section, std::string_view key, std::string_view value) {
    Ok = Ini.WriteString(section, key, value) && Ok;
  }
  void Int(std::string_view section, std::string_view key, int value) { Ok = Ini.WriteInteger(section, key, value) && Ok; }
  void Bool(std::string_view section, std::string_view key, bool value) { Ok = Ini.WriteBool(section, key, value) && Ok; }
  void List(std::string_view section, std::string_view prefix, const std::vector<std::string>& list, std::size_t max) {
    Ok = Ini.EraseSection(section) && Ok;
    std::size_t n = 0;
    for (const std::string& value : list) {
      if (n == max) break;
      if (value.empty()) continue;
      Str(section, std::string(prefix) + std::to_string(n++), value);
    }
  }
};

void SaveGeneral(const TPreferences& p, TWriter& w) {
  w.Bool(General, "PinTransferWindow", p.PinTransferWindow);
  w.Str(General, "EMail", p.EMail);
  w.Str(General, "Viewer", p.Viewer);
  w.Str(General, "LogFile", p.LogFile);
  w.Bool(General, "LogToFile", p.LogToFile);
  w.Bool(General, "ShowToolTips", p.ShowToolTips);
  w.Str(General, "DefaultDir", p.DefaultDir);
}

void SaveAdvanced(const TPreferences& p, TWriter& w) {
  w.Bool(Advanced, "NoXferOlder", p.NoXferOlder);
  w.Bool(Advanced, "ASCIIOnView", p.ASCIIOnView);
  w.Bool(Advanced, "PreserveTimeStamp", p.PreserveTimeStamp);
  w.Bool(Advanced, "ConfirmOverwrites", p.ConfirmOverwrites);
  w.Bool(Advanced, "ConfirmRestarts", p.ConfirmRestarts);
  w.Bool(Advanced, "ListHidden", p.ListHidden);
  w.Int(Advanced, "TryToResume", p.TryToResume);
  w.Int(Advanced, "LocalDblClk", p.LocalDblClk);
  w.Int(Advanced, "HostDblClk", p.HostDblClk);
}

void SaveConnection(const TPreferences& p, TWriter& w) {
  w.Bool(Connection, "ShowManager", p.ShowManager);
  w.Bool(Connection, "PromptForPass", p.PromptForPass);
  w.Bool(Connection, "Ping", p.Ping);
  w.Bool(Connection, "UsePASV", p.UsePASV);
  w.Bool(Connection, "QuickDisconnect", p.QuickDisconnect);
  w.Int(Connection, "RetryDelay", p.RetryDelay);
  w.Int(Connection, "Retries", p.Retries);
  w.Bool(Connection, "InfiniteRetry", p.InfiniteRetry);
  w.Int(Connection, "Timeout", p.Timeout);
  w.Int(Connection, "TransferMode", p.TransferMode);
  w.Bool(Connection, "SingleConnectionsOnly", p.SingleConnectionsOnly);
  w.Bool(Connection, "MachineListings", p.MachineListings);
  w.Str(Connection, "CodePage", p.CodePage);
}

void SaveConversionsAndFirewall(const TPreferences& p, TWriter& w) {
  w.Int(Conversions, "ConversionCase", p.ConversionCase);
  w.Bool(Conversions, "ConversionUseShortName", p.ConversionUseShortName);
  w.Int(Conversions, "ConversionSpaces", p.ConversionSpaces);
  w.Str(Conversions, "ConversionChar", p.ConversionChar);
  w.Bool(Firewall, "Enabled", p.FirewallEnabled);
  w.Int(Firewall, "Type", p.FirewallType);
  w.Str(Firewall, "Host", p.FirewallHost);
  w.Int(Firewall, "Port", p.FirewallPort);
  w.Str(Firewall, "User", p.FirewallUser);
  w.Str(Firewall, "Password", p.FirewallPassword);
}

std::atomic<bool>& HintsOn() {
  static std::atomic<bool> on{true};
  return on;
}

}  // namespace

std::string DefaultSettingsFile() { return ProgramFilesFolder() + std::string(ProgramName) + ".ini"; }
std::string DefaultSitesFile() { return ProgramFilesFolder() + "Sites.ini"; }
std::string DefaultLogFile() { return ProgramFilesFolder() + std::string(ProgramName) + ".log"; }

bool HasFileType(const std::vector<std::string>& list, std::string_view extension) {
  return std::any_of(list.begin(), list.end(), [&](const std::string& e) { return SameText(e, extension); });
}

bool ShowHints() { return HintsOn().load(); }

void ApplyPreferences(const TPreferences& prefs, const std::function<void(bool usePassive)>& applyToComponents) {
  HintsOn() = prefs.ShowToolTips;
  InstallHintFilter();
  TEngineSettings& engine = EngineSettings();
  engine.Ping = prefs.Ping;
  engine.QuickDisconnect = prefs.QuickDisconnect;
  // A time-out of 0 would fail every wait at once, and seconds × 1000 must fit the engine's
  // 32-bit milliseconds.
  constexpr std::int64_t maxSeconds = std::numeric_limits<std::uint32_t>::max() / 1000;
  engine.TimeOut = static_cast<std::uint32_t>(std::clamp<std::int64_t>(prefs.Timeout, 1, maxSeconds) * 1000);
  engine.RetryDelay = std::max(prefs.RetryDelay, 0);
  // 0 attempts means "without limit" to the engine, so only InfiniteRetry may give it.
  engine.MaxAttempts = prefs.InfiniteRetry ? 0 : std::max(prefs.Retries, 1);
  engine.MachineListings = prefs.MachineListings;
  SetFallbackCodePage(prefs.CodePage);
  if (applyToComponents) applyToComponents(prefs.UsePASV);
}

void LoadPreferences(TPreferences& prefs, const std::string& settingsFile,
                     const std::function<void(bool usePassive)>& applyToComponents) {
  TIniFile ini(settingsFile);
  LoadGeneral(prefs, ini);
  LoadAdvanced(prefs, ini);
  LoadConnection(prefs, ini);
  LoadConversions(prefs, ini);
  LoadFirewall(prefs, ini);
  LoadLists(prefs, ini);
  ApplyPreferences(prefs, applyToComponents);
}

bool SavePreferences(const TPreferences& prefs, const std::string& settingsFile,
                     const std::function<void(bool usePassive)>& applyToComponents) {
  TIniFile ini(settingsFile);
  TWriter w{ini};
  SaveGeneral(prefs, w);
  SaveAdvanced(prefs, w);
  SaveConnection(prefs, w);
  SaveConversionsAndFirewall(prefs, w);
  for (std::size_t i = 0; i < SoundEventCount; ++i) w.Str(Sounds, SoundKeys[i], prefs.Sounds[i]);
  w.List(FileTypes, "Ext", prefs.FileTypes, prefs.FileTypes.size());
  w.List(URLs, "URL", prefs.URLs, MaxRecentURLs);
  ApplyPreferences(prefs, applyToComponents);
  return w.Ok;
}

}  // namespace ferrowin
