#pragma once
// The character sets offered for names on servers that do not speak UTF-8: the site's choice
// ("Auto" or a named set) and the 8-bit code page that Auto falls back on.

#include <QComboBox>

#include <string>

namespace ferrowin {

// An editable combo of "Auto" (when withAuto) and the common character sets; any name the
// system's converter knows may be typed.
QComboBox* NewCharacterSetCombo(QWidget* parent, bool withAuto);
void SetCharacterSet(QComboBox* combo, const std::string& charset);
// "" for Auto.
[[nodiscard]] std::string CharacterSetOf(const QComboBox* combo);

}  // namespace ferrowin
