// FEAT after login and what follows from it: the features a server announces, UTF-8 names,
// and the component's view of them.

#include "FTPCompFeatures.h"

#include <algorithm>

#include "FTPComp.h"
#include "FTPCompThread.h"
#include "NameCodec.h"

namespace ferrowin {

bool TServerFeatures::Has(std::string_view name) const {
  return std::find(Names.begin(), Names.end(), name) != Names.end();
}

TServerFeatures TServerFeatures::FromReply(const std::vector<std::string>& lines) {
  TServerFeatures features;
  for (const std::string& line : lines) {
    if (line.empty() || line[0] != ' ') continue;
    const std::size_t start = line.find_first_not_of(' ');
    if (start == std::string::npos) continue;
    const std::size_t end = line.find(' ', start);
    features.Names.push_back(LowerCase(line.substr(start, end == std::string::npos ? end : end - start)));
    if (features.Names.back() == "mlst" && end != std::string::npos) features.MlstFacts = LowerCase(line.substr(end + 1));
  }
  return features;
}

std::string TServerFeatures::FactsToAsk() const {
  std::string ask;
  bool missing = false;
  for (const char* fact : {"type", "size", "modify", "unix.mode"}) {
    const std::string name = fact;
    const std::size_t at = (";" + MlstFacts).find(";" + name);
    if (at == std::string::npos) continue;
    const std::size_t after = at + name.size();
    if (after >= MlstFacts.size() || (MlstFacts[after] != '*' && MlstFacts[after] != ';')) continue;  // a longer name
    missing = missing || MlstFacts[after] != '*';
    ask += name + ";";
  }
  return missing ? ask : "";
}

// Once per connection. A server that refuses FEAT sees nothing else new.
void TFTPThread::AskFeatures() {
  Features = {};
  CollectReplies = true;
  const bool answered = Command("FEAT") == 2;
  std::string reply;
  if (answered) {
    Features = TServerFeatures::FromReply(ReplyLines);
    for (const std::string& line : ReplyLines) reply += (reply.empty() ? "" : "\n") + line;
  }
  CollectReplies = false;
  std::string charset;
  {
    std::lock_guard lock(Shared->Lock);
    Shared->FeatReply = reply;
    charset = Shared->CharacterSet;
  }
  const bool utf8 = Features.Has("utf8");
  // Some servers send UTF-8 only once asked; others refuse the option yet speak UTF-8
  // because they announced it, so the answer does not matter.
  if (utf8) Command("OPTS UTF8 ON");
  if (Features.Has("mlst"))
    if (const std::string facts = Features.FactsToAsk(); !facts.empty()) Command("OPTS MLST " + facts);
  Names.Setup(charset, FallbackCodePage(), utf8);
}

std::string TFTPComponent::FeatReply() const {
  std::lock_guard lock(Shared->Lock);
  return Shared->FeatReply;
}

std::string TFTPComponent::CharacterSet() const {
  std::lock_guard lock(Shared->Lock);
  return Shared->CharacterSet;
}

void TFTPComponent::SetCharacterSet(const std::string& charset) {
  std::lock_guard lock(Shared->Lock);
  Shared->CharacterSet = charset;
}

}  // namespace ferrowin
