// ferroftp parse: runs a listing through one of the parsers and prints its entries as JSON.

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

#include "Commands.h"
#include "ListingJson.h"
#include "Parsers.h"

namespace ferrowin {

namespace {

constexpr const char* ParseUsage = "usage: ferroftp parse --type unix|dos|vm|vms [FILE]\n";

struct TParseType {
  const char* Name;
  int ServerType;
};
// A server type of each parser's family.
constexpr TParseType ParseTypes[] = {{"unix", 11}, {"dos", 17}, {"vm", 5}, {"vms", 13}};

int BadUsage(const std::string& message) {
  if (!message.empty()) std::cerr << "ferroftp parse: " << message << '\n';
  std::cerr << ParseUsage;
  return 2;
}

}  // namespace

int RunParse(int argc, char** argv) {
  const char* type = nullptr;
  const char* file = nullptr;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--type") == 0) {
      if (++i == argc) return BadUsage("--type needs a value");
      type = argv[i];
    } else if (std::strncmp(argv[i], "--type=", 7) == 0) {
      type = argv[i] + 7;
    } else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::cout << ParseUsage;
      return 0;
    } else if (argv[i][0] == '-' && argv[i][1] != '\0') {
      return BadUsage(std::string("unknown option ") + argv[i]);
    } else if (!file) {
      file = argv[i];
    } else {
      return BadUsage("only one FILE");
    }
  }
  if (!type) return BadUsage("--type is required");
  int serverType = -1;
  for (const TParseType& t : ParseTypes)
    if (std::strcmp(type, t.Name) == 0) serverType = t.ServerType;
  if (serverType < 0) return BadUsage(std::string("unknown type ") + type);

  std::string text;
  if (file && std::strcmp(file, "-") != 0) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
      std::cerr << "ferroftp parse: cannot read " << file << ": " << std::strerror(errno) << '\n';
      return 1;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    text = buffer.str();
  } else {
    text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
  }

  TListingParser parser(ParserFor(serverType));
  parser.OnEntry = [](const TListingEntry& entry) { WriteListingEntryJson(std::cout, entry); };
  TListingEntries entries;
  parser.Parse(text, entries);
  std::cout.flush();
  return std::cout ? 0 : 1;
}

}  // namespace ferrowin
