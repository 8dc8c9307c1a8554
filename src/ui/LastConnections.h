#pragma once
// LastConnections: the eight site names most recently connected to, slot 0 the most recent,
// kept in the registry stand-in under "Last Connections1" ... "Last Connections8", value Site.

#include <QString>
#include <array>
#include <memory>

class QSettings;

namespace ferrowin {

class TLastConnections {
 public:
  static constexpr int Count = 8;

  [[nodiscard]] const QString& operator[](int slot) const { return FSlots[static_cast<std::size_t>(slot)]; }
  [[nodiscard]] bool Any() const;

  // Moves or puts name at slot 0 (exact, case-sensitive comparison); a new name drops slot 7.
  void Add(const QString& name);
  // Drops name; the later slots move up.
  void Remove(const QString& name);

  // Missing values are empty slots. Save writes all eight.
  void Load(QSettings& settings);
  void Save(QSettings& settings) const;

 private:
  std::array<QString, Count> FSlots;
};

// The registry stand-in: the file of QSettings' native format for organisation "Harlune Media",
// application "Tavistrel" ($XDG_CONFIG_HOME/Harlune Media/Tavistrel.conf, or under
// $FERROWIN_HOME when it is set), read from the environment at each call so a test's
// temporary folder is always the one used.
[[nodiscard]] std::unique_ptr<QSettings> OpenRegistry();

}  // namespace ferrowin
