// ferroftp: the engine from the command line, for trying it on real servers and listings.

#include <cstring>
#include <iostream>

#include "Commands.h"
#include "FTPCompThread.h"

namespace {

constexpr const char* Usage =
    "usage: ferroftp COMMAND [ARGS]\n"
    "\n"
    "commands:\n"
    "  get URL LOCALFILE [--active] [--resume] [--ascii] [--timeout SECONDS] [--retries N] [--log]\n"
    "  put LOCALFILE URL [--active] [--resume] [--ascii] [--timeout SECONDS] [--retries N] [--log]\n"
    "  http URL LOCALFILE [--log]\n"
    "  ls URL [--log]                        list a folder as JSON lines\n"
    "  parse --type unix|dos|vm|vms [FILE]   parse a directory listing (stdin without FILE)\n"
    "                                        and print one JSON object per entry\n";

struct TCommand {
  const char* Name;
  int (*Run)(int argc, char** argv);
};
constexpr TCommand Commands[] = {{"parse", ferrowin::RunParse}, {"get", ferrowin::RunGet},
                                 {"put", ferrowin::RunPut},     {"http", ferrowin::RunHttp},
                                 {"ls", ferrowin::RunLs}};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << Usage;
    return 2;
  }
  if (std::strcmp(argv[1], "--version") == 0) {
    std::cout << "ferroftp " << FERROWIN_VERSION << "\n";
    return 0;
  }
  if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0 ||
      std::strcmp(argv[1], "help") == 0) {
    std::cout << Usage;
    return 0;
  }
  for (const TCommand& command : Commands) {
    if (std::strcmp(argv[1], command.Name) != 0) continue;
    int code = command.Run(argc - 2, argv + 2);
    ferrowin::TFTPThread::WaitForWorkers(std::chrono::seconds(2));  // let sockets close cleanly
    return code;
  }
  std::cerr << "ferroftp: unknown command " << argv[1] << "\n\n" << Usage;
  return 2;
}
