#include "FTPCompDetect.h"
#include "Format.h"

#include <algorithm>
#include <cctype>

namespace ferrowin {
namespace {

constexpr TServerTypeXRef WelcomeTable[] = {
    {"WAR-FTPD", 48},        {" MUSIC/SP", 50},      {"Spartacus KNET", 30},   {"- qnx -", 47},
    {"(UniTree", 46},        {"NetWare v4", 36},     {"Serv-U FTP", 34},       {" WFTPD ", 35},
    {"HellSoft", 42},        {"Novell LAN W", 9},    {"(EXOS", 10},            {"(XElink", 44},
    {"VersaTerm ", 41},      {"KNET/MVS", 25},       {"RSX", 20},              {"N1BEE", 6},
    {"IBM OS/2 TCP/IP", 4},  {" OS-9 ", 22},         {"GCOS", 24},             {"BULL", 24},
    {"Amiga ", 26},          {"JNOS", 6},            {"Rational FTP", 28},     {"CP-6 FTP", 29},
    {"DOS FTP Server 3.", 39}, {"IBM TCP/IP for OS/2 - FTP", 49},
};

// Entries from FirstLowerCase on are compared with the line in lower case.
constexpr std::size_t FirstLowerCase = 9;
constexpr int VmsUcx = 13;
constexpr int VmsMultiNet = 12;
constexpr TServerTypeXRef SystTable[] = {
    {"215 MPE/iX", 33},  {" MUSIC/SP", 50},         {"WAR-FTPD", 48},    {"RSX", 20},
    {"UniTree", 46},     {"NetWare v4", 36},        {" PRIMOS ", 44},    {"VersaTerm ", 41},
    {"HellSoft", 42},    {"windows_nt", 17},        {" pc ", 23},        {"macos peter", 16},
    {"os/2 operating", 4}, {"ultrix", 11},          {"unix", 11},        {"mvs", 19},
    {"qvt/net 4", 40},   {"qvt", 14},               {"ncsa", 7},         {"chameleon", 2},
    {"netmanage", 2},    {"windows [multinet", 38}, {"vms", VmsUcx},     {"multinet", VmsMultiNet},
    {"os/400", 18},      {" mts sys", 4},           {" vm ", 5},         {" vm/esa", 5},
    {" vm/cms", 5},      {"vos", 32},               {"m28", 32},         {"tandem", 31},
    {"dos ftp server 3.", 39},
};

constexpr TServerTypeXRef HelpTable[] = {
    {"NCSA", 7}, {"CUTCP", 7}, {"MACB", 15}, {"HellSoft", 42}, {"214-PC FTP server", 14}, {"QVT", 14},
};

bool Contains(std::string_view line, std::string_view text) { return line.find(text) != std::string_view::npos; }

int FirstMatch(const std::vector<std::string>& lines, std::span<const TServerTypeXRef> table) {
  for (const std::string& line : lines)
    for (const auto& entry : table)
      if (Contains(line, entry.Text)) return entry.ServerType;
  return 0;
}

}  // namespace

TDetectionTable WelcomeDetectionTable() { return {WelcomeTable, std::size(WelcomeTable)}; }
TDetectionTable SystDetectionTable() { return {SystTable, FirstLowerCase}; }
TDetectionTable HelpDetectionTable() { return {HelpTable, std::size(HelpTable)}; }

int ServerTypeFromWelcome(const std::vector<std::string>& lines) { return FirstMatch(lines, WelcomeTable); }

int ServerTypeFromHelp(const std::vector<std::string>& lines) { return FirstMatch(lines, HelpTable); }

int ServerTypeFromSyst(const std::vector<std::string>& lines) {
  const std::size_t count = std::size(SystTable);
  for (const std::string& line : lines) {
    const std::string lower = LowerCase(line);
    for (std::size_t i = 0; i < count; ++i) {
      const std::string& compared = i < FirstLowerCase ? line : lower;
      if (!Contains(compared, SystTable[i].Text)) continue;
      // A VMS system running MultiNet says both; the listing differs, so MultiNet wins.
      if (SystTable[i].ServerType == VmsUcx && i + 1 < count && Contains(compared, SystTable[i + 1].Text))
        return SystTable[i + 1].ServerType;
      return SystTable[i].ServerType;
    }
  }
  return 0;
}

}  // namespace ferrowin
