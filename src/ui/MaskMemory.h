#pragma once
// File masks without widgets: the four ready-made masks, and the masks typed in the mask
// dialog during this run, most recent first, as the mask menu shows them.

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace ferrowin {

struct TReadyMask {
  std::string_view Entry;    // in the dialog's list
  std::string_view Caption;  // in the mask menu
};

inline constexpr std::array<TReadyMask, 4> ReadyMasks{{
    {"Archive Files (*.zip;*.arj;*.a??;*.rar;*.r??;*.z)", "&1 Archive Files (*.zip;*.arj;*.a??;*.rar;*.r??;*.z)"},
    {"Image Files (*.gif;*.jpg;*.bmp;*.png)", "&2 Image Files (*.gif;*.jpg;*.bmp;*.png)"},
    {"HTML Files (*.htm;*.html;*.asp;*.shtml)", "&3 HTML Files (*.htm;*.html;*.asp;*.shtml)"},
    {"All Files (*.*)", "&4 All Files (*.*)"},
}};

// The mask of a ready-made entry or caption: the text between its " (" and its final ")";
// the text itself when it has none.
[[nodiscard]] std::string MaskOfEntry(std::string_view entry);

class TMaskMemory {
 public:
  static constexpr std::size_t Count = 4;
  static constexpr int FirstPosition = 5;  // the recent masks follow the ready-made four

  // A mask left in the dialog (OK or Cancel, untrimmed): it goes to position 5, an equal one
  // (same case) moving up from where it was, the one at position 8 dropping out.
  void Record(const std::string& mask);
  // Most recent first; at most Count.
  [[nodiscard]] const std::vector<std::string>& Masks() const { return Recent; }
  // The separator before the recent masks shows once there is one.
  [[nodiscard]] bool SeparatorShown() const { return !Recent.empty(); }

 private:
  std::vector<std::string> Recent;
};

}  // namespace ferrowin
