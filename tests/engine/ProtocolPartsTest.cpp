// The pieces behind today's servers: host fields with IPv6 literals, machine-readable listings
// and names in other character sets.

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "FTPCompFeatures.h"
#include "NameCodec.h"
#include "Parsers.h"
#include "SocketAddress.h"

namespace ferrowin {
namespace {

TEST(HostField, BracketsPortsAndAddresses) {
  struct {
    const char* Text;
    const char* Host;
    int Port;
  } cases[] = {
      {"[2001:db8::1]:2121", "2001:db8::1", 2121}, {"[::1]", "::1", 21},
      {"2001:db8::1", "2001:db8::1", 21},          {"ftp.example.org:2121", "ftp.example.org", 2121},
      {"ftp.example.org", "ftp.example.org", 21},  {"host:99999", "host:99999", 21},
      {"[::1]:0", "::1", 21},
  };
  for (const auto& c : cases) {
    int port = 21;
    EXPECT_EQ(SplitHostPort(c.Text, port), c.Host) << c.Text;
    EXPECT_EQ(port, c.Port) << c.Text;
  }
  struct {
    const char* A;
    const char* B;
    bool Same;
  } hosts[] = {
      {"127.0.0.1", "127.0.0.1", true}, {"::ffff:127.0.0.1", "127.0.0.1", true}, {"::1", "::1", true},
      {"127.0.0.1", "127.0.0.2", false}, {"::1", "127.0.0.1", false},           {"2001:db8::1", "2001:db8::2", false},
  };
  for (const auto& h : hosts) EXPECT_EQ(ParseAddress(h.A).SameHost(ParseAddress(h.B)), h.Same) << h.A << " " << h.B;
  EXPECT_EQ(EndpointText(ParseAddress("2001:db8::1"), 21), "[2001:db8::1]:21");
  EXPECT_EQ(EndpointText(ParseAddress("10.0.0.5"), 2121), "10.0.0.5:2121");
  EXPECT_FALSE(ParseAddress("ftp.example.org").Valid());
}

TEST(MachineListing, Lines) {
  ::setenv("TZ", "CET-1", 1);  // modify is UTC; entries are local time, one hour later here
  ::tzset();
  constexpr std::uint16_t RwRR = faOwnerRead | faOwnerWrite | faGroupRead | faOthersRead;
  constexpr std::uint16_t Rwx = faOwnerRead | faOwnerWrite | faOwnerExecute;
  struct {
    const char* Line;
    const char* Name;  // "" : no entry
    std::uint16_t Attributes;
    std::int64_t Size;
    const char* Date;
  } cases[] = {
      {"type=file;size=5000000000;modify=20240105103000;UNIX.mode=0644; big.iso", "big.iso", RwRR, 5000000000,
       "2024-01-05 11:30"},
      {"Type=Dir;Modify=20231231233000.123;unix.mode=700; a dir; with semicolons", "a dir; with semicolons",
       faDirectory | Rwx, 0, "2024-01-01 00:30"},
      {"type=OS.unix=slink:/usr/bin;size=8;modify=20240105103000; bin", "bin -> /usr/bin", faSymLink, 8,
       "2024-01-05 11:30"},
      {"type=file;size=12; no date", "no date", 0, 12, "2024-01-01 00:00"},
      {"type=file;size=1;modify=2024013; short date", "short date", 0, 1, "2024-01-01 00:00"},
      {"type=file;size=3;unix.mode=0o644; python octal", "python octal", RwRR, 3, "2024-01-01 00:00"},
      {"type=file;size=1;unix.mode=999; odd mode", "odd mode", 0, 1, "2024-01-01 00:00"},
      {"type=cdir;modify=20240105103000; /pub", "", 0, 0, ""},
      {"type=pdir;modify=20240105103000; ..", "", 0, 0, ""},
      {"no-facts-no-name", "", 0, 0, ""},
  };
  for (const auto& c : cases) {
    TListingEntries entries;
    TListingParser(TListingParserKind::MLSD, TDate{2024, 6, 15}).Parse(std::string(c.Line) + "\r\n", entries);
    if (!*c.Name) {
      EXPECT_TRUE(entries.empty()) << c.Line;
      continue;
    }
    ASSERT_EQ(entries.size(), 1u) << c.Line;
    EXPECT_EQ(entries[0].Name, c.Name);
    EXPECT_EQ(entries[0].Attributes, c.Attributes) << c.Line;
    EXPECT_EQ(entries[0].Size, c.Size) << c.Line;
    EXPECT_EQ(FormatDateTimeISO(entries[0].Date), c.Date) << c.Line;
  }
  ::unsetenv("TZ");
  ::tzset();
}

TEST(Features, NamesOfAFeatReply) {
  const auto features =
      TServerFeatures::FromReply({"211-Features:", " EPSV", " MLST type*;size*;modify*;", " utf8", "211 End"});
  EXPECT_EQ(features.Names, (std::vector<std::string>{"epsv", "mlst", "utf8"}));
  EXPECT_FALSE(features.Has("211"));
  struct {
    const char* Mlst;
    const char* Ask;
  } facts[] = {
      {" MLST type*;size*;modify*;", ""},
      {" MLST type*;perm*;size*;modify*;unix.mode;unix.uid;", "type;size;modify;unix.mode;"},
      {" MLST Type*;Size;Modify*;", "type;size;modify;"},
      {" MLST type*;sizd;modify*;", ""},
  };
  for (const auto& f : facts) EXPECT_EQ(TServerFeatures::FromReply({"211-x", f.Mlst, "211 End"}).FactsToAsk(), f.Ask) << f.Mlst;
}

// What a name from the server is shown as, and that the shown name goes back as the same bytes.
TEST(NameCodec, ShownNamesGoBackAsTheirBytes) {
  struct {
    const char* Charset;
    bool Utf8;
    std::string Wire;
    std::string Shown;
  } cases[] = {
      {"ISO-8859-1", false, "caf\xE9.txt", "caf\xC3\xA9.txt"},
      {"ISO-8859-1", true, "caf\xC3\xA9.txt", "caf\xC3\xA9.txt"},  // UTF-8 announced wins
      {"Auto", false, "caf\xC3\xA9.txt", "caf\xC3\xA9.txt"},
      {"Auto", false, "bad\x81\xFF.txt", "bad\xC2\x81\xC3\xBF.txt"},  // 0x81 is in no code page: as Latin-1
      {"", false, "dir\xE9/sub\xE9", "dir\xC3\xA9/sub\xC3\xA9"},
      {"KOI8-R", false, "\xF0\xD2\xC9\xD7\xC5\xD4", "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82"},
      {"Auto", false, "link\xE9 -> target\xE9", "link\xC3\xA9 -> target\xC3\xA9"},
  };
  for (const auto& c : cases) {
    TNameCodec codec;
    codec.Setup(c.Charset, "WINDOWS-1252", c.Utf8);
    EXPECT_EQ(codec.Decode(c.Wire), c.Shown) << c.Wire;
    EXPECT_EQ(codec.Encode(c.Shown), c.Wire) << c.Wire;
  }
  TNameCodec latin1;
  latin1.Setup("ISO-8859-1", "", false);
  EXPECT_EQ(latin1.EncodeCommand("RNTO n\xC3\xA9.txt"), "RNTO n\xE9.txt");  // a new name, never listed
  EXPECT_EQ(latin1.EncodeCommand("SITE CHMOD 644 \xC3\xA9"), "SITE CHMOD 644 \xE9");
  EXPECT_EQ(latin1.EncodeCommand("PASS p\xC3\xA9"), "PASS p\xC3\xA9");  // passwords go as typed
  TNameCodec listed;  // a listed name goes back as the bytes it came as, after a mode too
  listed.Setup("Auto", "WINDOWS-1252", false);
  listed.Decode("caf\xE9");
  for (const std::string verb : {"SITE CHMOD 644 ", "CHMOD 644 ", "DELE "})
    EXPECT_EQ(listed.EncodeCommand(verb + "caf\xC3\xA9"), verb + "caf\xE9") << verb;
  EXPECT_EQ(latin1.Shown("550 caf\xE9: no such file"), "550 caf\xC3\xA9: no such file");
  for (const char* good : {"caf\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80"}) EXPECT_TRUE(ValidUTF8(good)) << good;
  for (const char* bad : {"\xC3", "\xC0\xAF", "\xE9t\xE9", "\xF5\x80\x80\x80"}) EXPECT_FALSE(ValidUTF8(bad)) << bad;
  SetFallbackCodePage("");  // no choice stored: the default
  EXPECT_EQ(FallbackCodePage(), "WINDOWS-1252");
}

}  // namespace
}  // namespace ferrowin
