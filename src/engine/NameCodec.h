#pragma once
// Names on the wire and names as the program shows them (UTF-8). A server that speaks UTF-8
// needs nothing; an older one sends its names in an 8-bit or other character set, chosen per
// site. The bytes a server sent for a name are remembered, so that a name shown is a name
// that can be fetched, renamed and deleted, even when its bytes are in no known character set.

#include <string>
#include <string_view>
#include <unordered_map>

namespace ferrowin {

class TNameCodec {
 public:
  // charset: "" or "Auto" (UTF-8 when a name is valid UTF-8, else the fallback code page) or a
  // character set name; utf8: the server announced UTF-8, which then wins over the site's choice.
  void Setup(const std::string& charset, const std::string& fallback, bool utf8);

  // A name or path from the server, as shown; each part's bytes are remembered.
  std::string Decode(std::string_view wire);
  // A reply line for the log: decoded the same way, nothing remembered.
  [[nodiscard]] std::string Shown(std::string_view wire) const;
  // A path as shown, in the server's bytes: the remembered bytes of each part, else converted.
  [[nodiscard]] std::string Encode(std::string_view shown) const;
  // A command line: the path argument of the commands that carry one is encoded, the rest is
  // sent as it is (user names and passwords go as typed).
  [[nodiscard]] std::string EncodeCommand(const std::string& line) const;

 private:
  [[nodiscard]] std::string DecodePart(std::string_view wire) const;
  [[nodiscard]] std::string EncodePart(std::string_view shown) const;

  std::string Charset;   // "" : names are UTF-8
  std::string Fallback;  // for names that are not valid UTF-8
  std::unordered_map<std::string, std::string> Wire;  // shown part -> its bytes on the wire
};

// The local 8-bit code page that Auto falls back on (a preference); process-wide.
std::string FallbackCodePage();
void SetFallbackCodePage(const std::string& charset);

[[nodiscard]] bool ValidUTF8(std::string_view text);
// Text from one character set into another (iconv names); false when it cannot be converted.
bool ConvertCharset(const char* from, const char* to, std::string_view text, std::string& out);

}  // namespace ferrowin
