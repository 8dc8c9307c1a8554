// Listing, downloading and uploading: one file or one listing per command, with the single
// repeat in folder mode when a transfer by full path fails.

#include <filesystem>

#include "FTPCompThread.h"
#include "Parsers.h"

namespace ferrowin {

namespace fs = std::filesystem;

bool TFTPThread::DoList(const TCommandItem& item) {
  ProgressIsFile = false;
  struct TRestore {
    bool& Flag;
    ~TRestore() { Flag = true; }
  } restore{ProgressIsFile};
  std::string mask = item.Param(1) == "*.*" ? "" : item.Param(1);
  TMemoryStream listing(MaxListingBytes, "The listing is larger than 128 MiB; the rest was not read");
  // MLSD takes no mask, but lists hidden entries anyway: "ls" options are no reason for LIST.
  if (UseMachineListing() && (mask.empty() || mask[0] == '-')) {
    if (TransferData("MLSD", true, 0, listing)) return ParseListing(item.Param(0), listing.Data, TListingParserKind::MLSD);
    if (Aborted || LastCode < 500 || LastCode > 502) return false;
    Features.MlsdRefused = true;
    listing.Data.clear();
  }
  std::string command = mask.empty() ? "LIST" : "LIST " + mask;
  if (!TransferData(command, true, 0, listing)) return false;
  return ParseListing(item.Param(0), listing.Data, ParserFor(Shared->ServerType));
}

bool TFTPThread::UseMachineListing() const {
  return EngineSettings().MachineListings && Features.Has("mlst") && !Features.MlsdRefused;
}

bool TFTPThread::ParseListing(const std::string& folder, const std::string& buffer, TListingParserKind kind) {
  if (kind == TListingParserKind::None) return false;
  auto entries = std::make_unique<TListingEntries>();
  TListingParser parser(kind);
  if (DebugTraceOn()) {
    parser.OnLine = [](std::string_view line) { DebugTrace(Format("Parser Line: \"%s\"", line)); };
    parser.OnEntry = [this](const TListingEntry& e) {
      Trace("Parser Entry. Name = \"%s\", Size = %d, Date = \"%s\"", e.Name, e.Size, FormatDateTimeISO(e.Date));
    };
  }
  parser.Parse(buffer, *entries);
  for (TListingEntry& entry : *entries) entry.Name = Names.Decode(entry.Name);
  NotifyProcessList(folder, std::move(entries));
  return true;
}

bool TFTPThread::DoTransfer(TCommandItem& item, bool download) {
  const std::string folder = FolderMode ? item.Param(2) : "";
  std::int64_t restart = 0;
  if (item.Params.size() >= 4 && Shared->CanResume) {
    try {
      restart = std::max<std::int64_t>(0, std::stoll(item.Param(3)));
    } catch (const std::exception&) {
    }
  }
  bool ok;
  if (download) {
    DownloadFileName = item.Param(0);
    struct TClear {
      std::string& Name;
      ~TClear() { Name.clear(); }
    } clear{DownloadFileName};
    fs::path parent = fs::path(item.Param(0)).parent_path();
    std::error_code ec;
    if (parent.empty() || (!fs::create_directories(parent, ec) && ec))
      throw EStreamError(Format("Unable to create directory \"%s\"", parent.string()));
    ok = TransferFile("RETR", item.Param(0), folder, restart, true, restart != 0 ? TFileMode::Append : TFileMode::Create,
                      item.Param(1));
  } else {
    ok = TransferFile("STOR", item.Param(0), folder, restart, false, TFileMode::Read, item.Param(1));
  }
  if (!ok && !FolderMode && !Aborted) {
    // Some servers only take a bare file name: try once more from inside the folder. The
    // repeat's result is the command's, reported once.
    FolderMode = true;
    SetLastSocketError(0);
    return RunCommand(item);
  }
  return ok;
}

bool TFTPThread::TransferFile(const std::string& verb, const std::string& localPath, const std::string& folder,
                              std::int64_t restart, bool receive, TFileMode mode, std::string remotePath) {
  if (!folder.empty()) {
    if (remotePath.compare(0, folder.size(), folder) == 0) remotePath.erase(0, folder.size());
    if (folder != CurrentFolder) {
      if (Command("CWD " + folder) != 2) return false;
      CurrentFolder = folder;
    }
  }
  TFileStream file(localPath, mode);
  if (!AsciiType) return TransferData(verb + " " + remotePath, receive, restart, file);
  TTextStream text(file);
  return TransferData(verb + " " + remotePath, receive, restart, text);
}

}  // namespace ferrowin
