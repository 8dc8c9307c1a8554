#pragma once
// Where the program's own read-only data (activity clip, help pages, start page) is found.

#include <QString>

namespace ferrowin {

// Ends with "/": <prefix>/share/ferrowin/ for an installed program, the program's folder for
// a portable copy that carries its data, else the source tree's data/ (a build-folder run).
[[nodiscard]] QString DataFolder();

}  // namespace ferrowin
