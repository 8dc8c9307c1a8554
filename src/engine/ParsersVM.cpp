// IBM VM (CMS) style: "NAME TYPE ..." with the size in the fourth word. The listing's dates are
// not read; entries are dated today.

#include "ParsersInternal.h"

namespace ferrowin::parsers {

void ParseVMLine(TParseState& state) {
  const std::string_view line = ReadLine(state);
  if (line.empty()) return;
  TWords words;
  SplitWords(line, words);
  if (words.Count < 8) return;

  std::string name;
  name.reserve(words[0].size() + 1 + words[1].size());
  name.append(words[0]).append(".").append(words[1]);
  AddEntry(state, name, 0, SafeDate(state.Today.Year, state.Today.Month, state.Today.Day, 0, 0, state.Today),
           LenientInt(words[3]));
}

}  // namespace ferrowin::parsers
