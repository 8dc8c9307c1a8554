#include "CharacterSets.h"

namespace ferrowin {
namespace {

constexpr const char* AutoText = "Auto";

// The 8-bit and multi-byte sets that older servers use for names, by region.
constexpr const char* CommonSets[] = {
    "UTF-8",        "WINDOWS-1252", "ISO-8859-1",   "ISO-8859-15", "WINDOWS-1250", "ISO-8859-2", "WINDOWS-1251",
    "KOI8-R",       "KOI8-U",       "ISO-8859-5",   "WINDOWS-1253", "ISO-8859-7",  "WINDOWS-1254", "ISO-8859-9",
    "WINDOWS-1255", "WINDOWS-1256", "WINDOWS-1257", "WINDOWS-1258", "CP437",       "CP850",      "SHIFT_JIS",
    "EUC-JP",       "GB18030",      "BIG5",         "EUC-KR",
};

}  // namespace

QComboBox* NewCharacterSetCombo(QWidget* parent, bool withAuto) {
  auto* combo = new QComboBox(parent);
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);
  if (withAuto) combo->addItem(AutoText);
  for (const char* name : CommonSets) combo->addItem(name);
  return combo;
}

void SetCharacterSet(QComboBox* combo, const std::string& charset) {
  const QString text = charset.empty() ? QString(AutoText) : QString::fromStdString(charset);
  const int at = combo->findText(text, Qt::MatchFixedString);
  if (at >= 0) combo->setCurrentIndex(at);
  else combo->setEditText(text);
}

std::string CharacterSetOf(const QComboBox* combo) {
  const QString text = combo->currentText().trimmed();
  return text.compare(AutoText, Qt::CaseInsensitive) == 0 ? std::string() : text.toStdString();
}

}  // namespace ferrowin
