#include "CommandLineRun.h"

#include <sys/stat.h>

#include <algorithm>
#include <fstream>

namespace ferrowin {
namespace {

std::string WithSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

TTransferEntry ServerEntry(const TStartOptions& o, const std::string& password) {
  TTransferEntry e;
  e.Host = o.Host;
  e.Port = static_cast<std::uint32_t>(o.Port);
  e.UserID = o.User;
  e.Password = password;
  e.Account = o.Account;
  return e;
}

}  // namespace

std::vector<std::string> SplitFileList(const std::string& list) {
  std::vector<std::string> names;
  std::string name;
  for (char c : list) {
    if (c != ';' && c != '\r' && c != '\n') {
      name += c;
      continue;
    }
    if (!name.empty()) names.push_back(name);
    name.clear();
  }
  if (!name.empty()) names.push_back(name);
  return names;
}

bool HasWildcards(const std::string& list) { return list.find_first_of("*?") != std::string::npos; }

std::vector<TTransferEntry> ReceiveEntries(const TStartOptions& o, const std::string& password,
                                           const std::string& localFolder) {
  std::vector<TTransferEntry> entries;
  for (std::string name : SplitFileList(o.ReceiveList)) {
    std::replace(name.begin(), name.end(), '\\', '/');
    std::string remote = name.front() == '/' ? std::string() : WithSlash(o.HostFolder);
    const std::size_t slash = name.rfind('/');
    if (slash != std::string::npos) remote += name.substr(0, slash + 1);
    TTransferEntry e = ServerEntry(o, password);
    e.SourceFolder = remote;
    e.DestFolder = WithSlash(localFolder);
    e.SourceName = name.substr(slash == std::string::npos ? 0 : slash + 1);
    e.FileDate = Now();
    entries.push_back(e);
  }
  return entries;
}

std::vector<TTransferEntry> SendEntries(const TStartOptions& o, const std::string& password,
                                        const std::string& localFolder) {
  std::vector<TTransferEntry> entries;
  for (const std::string& name : SplitFileList(o.SendList)) {
    const std::size_t slash = name.rfind('/');
    const std::string folder = WithSlash(slash == std::string::npos ? localFolder : name.substr(0, slash + 1));
    const std::string file = name.substr(slash == std::string::npos ? 0 : slash + 1);
    struct stat st {};
    if (file.empty() || !std::ifstream(folder + file, std::ios::binary) || ::stat((folder + file).c_str(), &st) != 0 ||
        !S_ISREG(st.st_mode))
      continue;  // skipped without a message
    TTransferEntry e = ServerEntry(o, password);
    e.SourceFolder = folder;
    e.DestFolder = WithSlash(o.HostFolder);
    e.SourceName = file;
    e.Size = st.st_size;
    e.FileDate = FromTimePoint(std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(std::chrono::seconds(st.st_mtim.tv_sec))));
    e.IsUpload = true;
    entries.push_back(e);
  }
  return entries;
}

}  // namespace ferrowin
