#include "FTPCompSettings.h"

namespace ferrowin {

TEngineSettings& EngineSettings() {
  static TEngineSettings settings;
  return settings;
}

}  // namespace ferrowin
