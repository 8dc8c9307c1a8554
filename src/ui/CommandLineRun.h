#pragma once
// The transfers the command line asks for: its file lists split into names, and the queue
// entries built from them (downloads by name, uploads of local files with their real size
// and date). The main window's second pass queues them; a batch run (/x) watches them end.

#include <string>
#include <vector>

#include "CommandLineOptions.h"
#include "TransferQueue.h"

namespace ferrowin {

// "/r" and "/s" values: names separated by ";" (or line breaks); blanks belong to the names,
// and empty names are dropped.
[[nodiscard]] std::vector<std::string> SplitFileList(const std::string& list);
// Whether a receive list goes to the host view to be matched ("*" or "?").
[[nodiscard]] bool HasWildcards(const std::string& list);

// The downloads of a receive list without wildcards, into localFolder.
[[nodiscard]] std::vector<TTransferEntry> ReceiveEntries(const TStartOptions& options, const std::string& password,
                                                         const std::string& localFolder);
// The uploads of a send list; files that cannot be opened are left out.
[[nodiscard]] std::vector<TTransferEntry> SendEntries(const TStartOptions& options, const std::string& password,
                                                      const std::string& localFolder);

}  // namespace ferrowin
