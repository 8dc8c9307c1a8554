// ferroftp: the engine from the command line, for trying it on real servers and listings.

#include <cstring>
#include <iostream>

#include "Commands.h"

namespace {

constexpr const char* Usage =
    "usage: ferroftp COMMAND [ARGS]\n"
    "\n"
    "commands:\n"
    "  parse --type unix|dos|vm|vms [FILE]   parse a directory listing (stdin without FILE)\n"
    "                                        and print one JSON object per entry\n";

struct TCommand {
  const char* Name;
  int (*Run)(int argc, char** argv);
};
constexpr TCommand Commands[] = {{"parse", ferrowin::RunParse}};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << Usage;
    return 2;
  }
  if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0 ||
      std::strcmp(argv[1], "help") == 0) {
    std::cout << Usage;
    return 0;
  }
  for (const TCommand& command : Commands)
    if (std::strcmp(argv[1], command.Name) == 0) return command.Run(argc - 2, argv + 2);
  std::cerr << "ferroftp: unknown command " << argv[1] << "\n\n" << Usage;
  return 2;
}
