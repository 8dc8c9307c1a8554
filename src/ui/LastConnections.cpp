#include "LastConnections.h"

#include <QDir>
#include <QSettings>
#include <algorithm>

namespace ferrowin {

namespace {
QString SlotKey(int slot) { return QString("Last Connections%1/Site").arg(slot + 1); }
}  // namespace

bool TLastConnections::Any() const {
  return std::any_of(FSlots.begin(), FSlots.end(), [](const QString& s) { return !s.isEmpty(); });
}

void TLastConnections::Add(const QString& name) {
  if (name.isEmpty()) return;
  auto found = std::find(FSlots.begin(), FSlots.end(), name);
  // Not found: every slot moves down and the last falls off.
  auto end = found == FSlots.end() ? FSlots.end() - 1 : found;
  std::move_backward(FSlots.begin(), end, end + 1);
  FSlots.front() = name;
}

void TLastConnections::Remove(const QString& name) {
  auto end = std::remove(FSlots.begin(), FSlots.end(), name);
  std::fill(end, FSlots.end(), QString());
}

void TLastConnections::Load(QSettings& settings) {
  for (int i = 0; i < Count; ++i) FSlots[static_cast<std::size_t>(i)] = settings.value(SlotKey(i)).toString();
}

void TLastConnections::Save(QSettings& settings) const {
  for (int i = 0; i < Count; ++i) settings.setValue(SlotKey(i), FSlots[static_cast<std::size_t>(i)]);
  settings.sync();
}

std::unique_ptr<QSettings> OpenRegistry() {
  // The file QSettings' native format uses here, named anew at each call: QSettings itself
  // fixes the user's folder at its first use, which would outlive a change of XDG_CONFIG_HOME.
  // FERROWIN_HOME holds every file of a private instance, this one too.
  QString folder = qEnvironmentVariable("FERROWIN_HOME");
  if (folder.isEmpty()) folder = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (folder.isEmpty()) folder = QDir::homePath() + "/.config";
  return std::make_unique<QSettings>(folder + "/Harlune Media/Tavistrel.conf", QSettings::IniFormat);
}

}  // namespace ferrowin
