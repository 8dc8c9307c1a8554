#pragma once
// Placeholder until the listing parsers land: the entry record the engine hands out.
#include <cstdint>
#include <string>
#include <vector>

namespace ferrowin {
using TDateTime = double;
struct TListingEntry {
  std::string Name;
  std::uint16_t Attributes = 0;
  std::int64_t Size = 0;
  TDateTime Date = 0;
};
using TListingEntries = std::vector<TListingEntry>;
}  // namespace ferrowin

#include <array>
#include <string_view>
namespace ferrowin {
inline constexpr int ServerTypeCount = 53;
inline std::string_view ServerTypeName(int type) {
  static constexpr std::array<std::string_view, 53> names = {
      "Automatic Detect", "Not Relevant", "Chameleon", "FTP PC/TCP", "IBM PC TCP/IP", "IBM VM", "KA9Q/NOS",
      "NCSA/CUTCP", "SI NT FTPD", "Super TCP", "Unisys 5000 (EXOS)", "UNIX (standard)", "VMS MultiNet",
      "VMS UCX", "QVT/Net 2/3", "MAC NCSA", "MAC Peter Server", "Microsoft NT", "IBM AS/400", "IBM MVS",
      "PDP11 RSX11M", "Sun Solaris", "OS/9", "Ipswitch", "BULL GCOS", "IBM MVS/KNET", "Amiga", "CDC Cyber",
      "IBM R1000", "BULL CP6", "IBM Spartacus KNET", "Tandem", "Stratus VOS", "HP/3000", "Serv-U", "WFTPD",
      "Netware v4", "PCNFS Pro", "TGV MultiNet", "FTP PC/TCP 3.0", "QVT/Net 4.0", "MAC VersaTerm", "HellSoft",
      "IBM OS2 WARP", "PRIMOS", "OS2200", "UniTree", "QNX2", "WarFTPD", "IBM OS2", "Music", "AOS/VS",
      "Passport 160"};
  return type >= 0 && type < ServerTypeCount ? names[type] : std::string_view();
}
}  // namespace ferrowin
