#pragma once
// What a server announces in its FEAT reply, and what this connection learnt it refuses.

#include <string>
#include <string_view>
#include <vector>

namespace ferrowin {

struct TServerFeatures {
  std::vector<std::string> Names;  // lower case, one per announced feature: "epsv", "mlst", "utf8"
  std::string MlstFacts;           // the facts of the MLST line, "type*;size*;modify*;unix.mode;"
  bool EpsvRefused = false;        // EPSV got 500-502 once: PASV for the rest of the connection
  bool MlsdRefused = false;        // MLSD got 500-502 once: LIST for the rest of the connection

  [[nodiscard]] bool Has(std::string_view name) const;
  // The lines of a FEAT reply: features are the lines that start with a blank.
  static TServerFeatures FromReply(const std::vector<std::string>& lines);
  // The facts to ask for with "OPTS MLST" (those listings need, as far as the server has them),
  // or "" when the server sends them all already (marked "*").
  [[nodiscard]] std::string FactsToAsk() const;
};

}  // namespace ferrowin
