#include "TransferQueue.h"

#include <climits>
#include <cstring>

#include "Options.h"

namespace ferrowin {

namespace {
TTransferServices*& Services() {
  static TTransferServices* services = nullptr;
  return services;
}
}  // namespace

void SetTransferServices(TTransferServices* services) { Services() = services; }
TTransferServices* TransferServices() { return Services(); }

TTransferType TransferTypeOf(const TPreferences* prefs, const std::string& name) {
  const TPreferences defaults;
  const TPreferences& p = prefs ? *prefs : defaults;
  switch (p.TransferMode) {
    case 0: {
      const std::size_t dot = name.rfind('.');
      const bool ascii = dot != std::string::npos && HasFileType(p.FileTypes, std::string_view(name).substr(dot));
      return ascii ? TTransferType::ASCII : TTransferType::Binary;
    }
    case 1: return TTransferType::ASCII;
    case 3: return TTransferType::EBCDIC;
    case 4: return TTransferType::Local;
    default: return TTransferType::Binary;
  }
}

bool IsSafeEntryName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.size() <= NAME_MAX &&
         name.find('/') == std::string::npos && name.find('\0') == std::string::npos;
}

}  // namespace ferrowin
