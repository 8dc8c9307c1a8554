// The server type table and the parse loop.

#include <array>
#include <exception>

#include "ParsersInternal.h"

namespace ferrowin {

namespace {

constexpr std::array<std::string_view, ServerTypeCount> ServerTypeNames = {
    "Automatic Detect", "Not Relevant", "Chameleon", "FTP PC/TCP", "IBM PC TCP/IP", "IBM VM",
    "KA9Q/NOS", "NCSA/CUTCP", "SI NT FTPD", "Super TCP", "Unisys 5000 (EXOS)", "UNIX (standard)",
    "VMS MultiNet", "VMS UCX", "QVT/Net 2/3", "MAC NCSA", "MAC Peter Server", "Microsoft NT",
    "IBM AS/400", "IBM MVS", "PDP11 RSX11M", "Sun Solaris", "OS/9", "Ipswitch", "BULL GCOS",
    "IBM MVS/KNET", "Amiga", "CDC Cyber", "IBM R1000", "BULL CP6", "IBM Spartacus KNET", "Tandem",
    "Stratus VOS", "HP/3000", "Serv-U", "WFTPD", "Netware v4", "PCNFS Pro", "TGV MultiNet",
    "FTP PC/TCP 3.0", "QVT/Net 4.0", "MAC VersaTerm", "HellSoft", "IBM OS2 WARP", "PRIMOS", "OS2200",
    "UniTree", "QNX2", "WarFTPD", "IBM OS2", "Music", "AOS/VS", "Passport 160",
};

}  // namespace

std::string_view ServerTypeName(int serverType) {
  if (serverType < 0 || serverType >= ServerTypeCount) return {};
  return ServerTypeNames[static_cast<std::size_t>(serverType)];
}

TListingParserKind ParserFor(int serverType) {
  switch (serverType) {
    case 1: return TListingParserKind::None;
    case 5: return TListingParserKind::VM;
    case 12:
    case 13: return TListingParserKind::VMS;
    case 17: return TListingParserKind::Dos;
    default: return TListingParserKind::Unix;
  }
}

TListingParser::TListingParser(TListingParserKind kind, TDate today) : Kind_(kind), Today_(today) {}

void TListingParser::Parse(std::string_view text, TListingEntries& entries) {
  using namespace parsers;
  void (*parseLine)(TParseState&) = nullptr;
  switch (Kind_) {
    case TListingParserKind::None: return;
    case TListingParserKind::Unix: parseLine = ParseUnixLine; break;
    case TListingParserKind::Dos: parseLine = ParseDosLine; break;
    case TListingParserKind::VM: parseLine = ParseVMLine; break;
    case TListingParserKind::VMS: parseLine = ParseVMSLine; break;
    case TListingParserKind::MLSD: parseLine = ParseMLSDLine; break;
  }
  // The listing ends at its first NUL, as the wire reader hands it over.
  TParseState state;
  state.Text = text.substr(0, text.find('\0'));
  state.Today = Today_;
  state.Entries = &entries;
  state.OnLine = &OnLine;
  state.OnEntry = &OnEntry;
  while (state.Pos < state.Text.size()) {
    const std::size_t before = state.Pos;
    try {
      parseLine(state);
    } catch (const std::exception&) {
      // Only this line is lost.
    }
    if (state.Pos == before) {
      // A parser that threw before reading its line must not stall the loop.
      state.OnLine = nullptr;
      ReadLine(state);
      state.OnLine = &OnLine;
    }
  }
}

}  // namespace ferrowin
