#pragma once
// Fetching one remote file for the viewer over a connection of its own, so the browsing
// connection and the window never wait for a preview. The connection stays logged in for
// the next preview on the same server.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "FTPCompCommands.h"
#include "FTPUtils.h"

namespace ferrowin {

class TFTPComponent;

class TPreviewFetch {
 public:
  // A fetch that passes limit bytes is given up as too large.
  explicit TPreviewFetch(std::int64_t limit);
  ~TPreviewFetch();
  TPreviewFetch(const TPreviewFetch&) = delete;
  TPreviewFetch& operator=(const TPreviewFetch&) = delete;

  // The end of a fetch (never raised for a cancelled one). reason: why it failed, for the log.
  std::function<void(bool success, bool tooLarge, const std::string& reason)> OnDone;
  // Settles a new connection; true to log in through the firewall.
  std::function<bool(TFTPComponent& connection)> OnPrepare;

  // Starts fetching the URL's file into localPath, ending a fetch under way first.
  void Fetch(const TURLParts& url, const std::string& localPath);
  // Gives up the fetch under way: its connection goes, and so does the partial copy.
  void Cancel();
  [[nodiscard]] bool Busy() const { return Running; }

 private:
  [[nodiscard]] bool CanReuse(const TURLParts& url) const;
  void Connect(const TURLParts& url);
  void Drop();
  void Completed(TCommandKind command, bool success, bool aborted);
  void Finish(bool success, bool tooLarge, const std::string& reason);

  std::int64_t Limit;
  std::unique_ptr<TFTPComponent> Connection;
  TURLParts Server;
  std::string Remote;
  std::string Local;
  std::string Error;
  bool Running = false;
  bool TooBig = false;
};

}  // namespace ferrowin
