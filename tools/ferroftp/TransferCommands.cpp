// ferroftp get, put, http and ls: the engine against a real server from the command line.

#include <cctype>
#include <filesystem>
#include <iostream>

#include "Commands.h"
#include "ListingJson.h"
#include "Session.h"

namespace ferrowin {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> TransferOptions = {"--active", "--resume", "--ascii", "--timeout", "--retries",
                                                  "--log", "--tls", "--tls-optional", "--insecure"};

int Usage(const char* usage, const std::string& error) {
  if (!error.empty()) std::cerr << "ferroftp: " << error << '\n';
  std::cerr << usage;
  return 2;
}

int Fail(const TSession& session, int code) {
  if (code != 0) std::cerr << "ferroftp: " << session.LastError << '\n';
  return code;
}

TTransferType TypeOf(const TSessionOptions& o) { return o.Ascii ? TTransferType::ASCII : TTransferType::Binary; }

// The size of a remote file, from a listing of it; -1 when it is not there.
std::int64_t RemoteSize(const TSessionOptions& options, const std::string& url, const TURLParts& target) {
  TSessionOptions quiet = options;
  quiet.Log = false;
  TSession session(quiet, true);
  TURLParts parts;
  if (!session.SetURL(url, parts)) return -1;
  std::int64_t size = -1;
  session.Component.OnProcessList = [&](TFTPComponent&, const std::string&, std::unique_ptr<TListingEntries>& list) {
    for (const auto& e : *list)
      if (e.Name == target.FileName) size = e.Size;
  };
  session.Run(TCommandKind::List, "listing", [&](TFTPComponent& c) { c.List(target.Folder, target.Folder + target.FileName); });
  return size;
}

}  // namespace

namespace {

// An HTTP download into `local`; shared by "http" and "get" of an http:// URL.
int HttpDownload(const TSessionOptions& options, const std::string& url, const std::string& local) {
  TSession session(options, false);
  int code = session.Run(TCommandKind::GetHTTP, "download of " + url,
                         [&](TFTPComponent& c) { c.GetHTTP(url, local); });
  // The status line is the first reply line: "HTTP/1.1 200 OK".
  const std::string status = session.ReplyLines.empty() ? "" : session.ReplyLines.front();
  if (code == 0 && (status.size() < 10 || status[9] != '2')) {
    session.LastError = "download of " + url + " failed: " + (status.empty() ? "no HTTP response" : status);
    code = 1;
  }
  return Fail(session, code);
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  return true;
}

// The local file of a download: a folder (existing, or named with a final "/") gets the
// remote file's name.
std::string LocalTarget(const std::string& argument, const std::string& remoteName) {
  std::error_code ec;
  const bool folder = (!argument.empty() && argument.back() == '/') || fs::is_directory(argument, ec);
  return fs::absolute(folder ? fs::path(argument) / remoteName : fs::path(argument)).string();
}

}  // namespace

int RunGet(int argc, char** argv) {
  static const char* usage =
      "usage: ferroftp get URL LOCAL [--active] [--resume] [--ascii] [--timeout SECONDS] [--retries N] [--log]"
      " [--tls|--tls-optional] [--insecure]\n";
  TSessionOptions options;
  std::string error;
  if (!ParseSessionOptions(argc, argv, TransferOptions, options, error) || options.Arguments.size() != 2)
    return Usage(usage, error);
  const std::string& url = options.Arguments[0];
  if (StartsWithNoCase(url, "https://")) return Usage(usage, "https is not supported: " + url);
  TURLParts parts;
  if (StartsWithNoCase(url, "http://")) {
    if (!ParseURL(url, "", parts)) return Usage(usage, "not a URL: " + url);
    return HttpDownload(options, url, LocalTarget(options.Arguments[1], parts.FileName.empty() ? "index.html" : parts.FileName));
  }
  TSession session(options, false);
  if (!session.SetURL(url, parts) || parts.FileName.empty()) return Usage(usage, "not an ftp URL of a file: " + url);
  const std::string local = LocalTarget(options.Arguments[1], parts.FileName);
  std::error_code ec;
  const std::int64_t have = options.Resume && fs::exists(local, ec) ? static_cast<std::int64_t>(fs::file_size(local, ec)) : 0;
  const std::string remote = parts.Folder + parts.FileName;
  int code = session.Run(have > 0 ? TCommandKind::ResumeDownload : TCommandKind::Download, "download of " + remote,
                         [&](TFTPComponent& c) {
                           if (have > 0) c.ResumeDownload(parts.Folder, remote, local, TypeOf(options), have);
                           else c.Download(parts.Folder, remote, local, TypeOf(options));
                         });
  return Fail(session, code);
}

int RunPut(int argc, char** argv) {
  static const char* usage =
      "usage: ferroftp put LOCALFILE URL [--active] [--resume] [--ascii] [--timeout SECONDS] [--retries N] [--log]"
      " [--tls|--tls-optional] [--insecure]\n";
  TSessionOptions options;
  std::string error;
  if (!ParseSessionOptions(argc, argv, TransferOptions, options, error) || options.Arguments.size() != 2)
    return Usage(usage, error);
  const std::string local = fs::absolute(options.Arguments[0]).string();
  if (!fs::is_regular_file(local)) return Usage(usage, "no such file: " + options.Arguments[0]);
  TSession session(options, false);
  TURLParts parts;
  if (!session.SetURL(options.Arguments[1], parts)) return Usage(usage, "not an ftp URL: " + options.Arguments[1]);
  if (parts.FileName.empty()) parts.FileName = fs::path(local).filename().string();
  const std::string remote = parts.Folder + parts.FileName;
  const std::int64_t have = options.Resume ? RemoteSize(options, options.Arguments[1], parts) : 0;
  int code = session.Run(have > 0 ? TCommandKind::ResumeUpload : TCommandKind::Upload, "upload to " + remote,
                         [&](TFTPComponent& c) {
                           if (have > 0) c.ResumeUpload(local, parts.Folder, remote, TypeOf(options), have);
                           else c.Upload(local, parts.Folder, remote, TypeOf(options));
                         });
  return Fail(session, code);
}

int RunHttp(int argc, char** argv) {
  static const char* usage = "usage: ferroftp http URL LOCAL [--timeout SECONDS] [--log]\n";
  TSessionOptions options;
  std::string error;
  if (!ParseSessionOptions(argc, argv, {"--log", "--timeout"}, options, error) || options.Arguments.size() != 2)
    return Usage(usage, error);
  TURLParts parts;
  if (!ParseURL(options.Arguments[0], "", parts)) return Usage(usage, "not a URL: " + options.Arguments[0]);
  return HttpDownload(options, options.Arguments[0],
                      LocalTarget(options.Arguments[1], parts.FileName.empty() ? "index.html" : parts.FileName));
}

int RunLs(int argc, char** argv) {
  static const char* usage = "usage: ferroftp ls URL [--active] [--list] [--timeout SECONDS] [--retries N] [--log]"
      " [--tls|--tls-optional] [--insecure]\n";
  TSessionOptions options;
  std::string error;
  if (!ParseSessionOptions(argc, argv,
                           {"--active", "--list", "--timeout", "--retries", "--log", "--tls", "--tls-optional", "--insecure"},
                           options, error) ||
      options.Arguments.size() != 1)
    return Usage(usage, error);
  EngineSettings().MachineListings = !options.PlainList;
  TSession session(options, true);
  TURLParts parts;
  if (!session.SetURL(options.Arguments[0], parts)) return Usage(usage, "not an ftp URL: " + options.Arguments[0]);
  const std::string folder = parts.Folder + parts.FileName;
  session.Component.OnProcessList = [](TFTPComponent&, const std::string&, std::unique_ptr<TListingEntries>& list) {
    for (const auto& entry : *list) WriteListingEntryJson(std::cout, entry);
  };
  // The folder is entered first: LIST runs in the current folder.
  bool entered = true;
  session.Component.OnFolderReply = [&](TFTPComponent& c, const std::string&, TFolderReplyType, bool ok) {
    entered = ok;
    if (ok) c.List(folder, "*.*");
    else c.Logout();
  };
  int code = session.Run(TCommandKind::List, "listing of " + (folder.empty() ? "the login folder" : folder),
                         [&](TFTPComponent& c) {
                           if (folder.empty()) c.List("", "*.*");
                           else c.SetCurrentFolder(folder);
                         });
  if (!entered) session.LastError = "cannot enter " + folder + ": " + session.Reason();
  std::cout.flush();
  return Fail(session, code);
}

}  // namespace ferrowin
