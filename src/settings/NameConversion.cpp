#include "NameConversion.h"

#include <QString>

#include "ShortName.h"

namespace ferrowin {

namespace {

// The replacement as one whole character. One that would turn the name into a path, or a
// control character, cannot be part of a remote name: "_" stands in for it (and for none).
std::string ReplacementOf(std::string_view text) {
  QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  if (s.isEmpty()) return "_";
  qsizetype length = s.at(0).isHighSurrogate() && s.size() > 1 ? 2 : 1;
  QString first = s.left(length);
  if (first == "/" || first == "\\" || first.at(0).unicode() < 0x20 || first.at(0).unicode() == 0x7F) return "_";
  return first.toUtf8().toStdString();
}

std::string ChangeCase(std::string_view name, int conversionCase) {
  QString s = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
  switch (static_cast<TConversionCase>(conversionCase)) {
    case TConversionCase::Lower:
      return s.toLower().toUtf8().toStdString();
    case TConversionCase::Upper:
      return s.toUpper().toUtf8().toStdString();
    default:
      return std::string(name);
  }
}

}  // namespace

TNameConversion NameConversionOf(const TPreferences& prefs) {
  return {prefs.ConversionCase, prefs.ConversionUseShortName, prefs.ConversionSpaces, prefs.ConversionChar};
}

std::string ConvertFileName(std::string_view name, const TNameConversion& conversion) {
  std::string result = ChangeCase(name, conversion.Case);
  const char acted = conversion.UseShortName ? '~' : ' ';
  auto spaces = static_cast<TConversionSpaces>(conversion.Spaces);
  if (spaces != TConversionSpaces::Remove && spaces != TConversionSpaces::Replace) return result;
  std::string replacement = spaces == TConversionSpaces::Replace ? ReplacementOf(conversion.Char) : std::string();
  std::string out;
  for (char c : result) {
    if (c == acted) {
      out += replacement;
    } else {
      out += c;
    }
  }
  return out;
}

std::string ConvertUploadName(const std::string& localPath, const TNameConversion& conversion) {
  std::string name;
  if (conversion.UseShortName) {
    name = ShortFileName(localPath);
  } else {
    std::size_t slash = localPath.rfind('/');
    name = slash == std::string::npos ? localPath : localPath.substr(slash + 1);
  }
  return ConvertFileName(name, conversion);
}

}  // namespace ferrowin
