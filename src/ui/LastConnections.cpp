#include "LastConnections.h"

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

void TLastConnections::Load(QSettings& settings) {
  for (int i = 0; i < Count; ++i) FSlots[static_cast<std::size_t>(i)] = settings.value(SlotKey(i)).toString();
}

void TLastConnections::Save(QSettings& settings) const {
  for (int i = 0; i < Count; ++i) settings.setValue(SlotKey(i), FSlots[static_cast<std::size_t>(i)]);
  settings.sync();
}

std::unique_ptr<QSettings> OpenRegistry() {
  return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, "Harlune Media", "Tavistrel");
}

}  // namespace ferrowin
