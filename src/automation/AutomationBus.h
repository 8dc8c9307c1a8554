#pragma once
// The automation object on D-Bus: /Quorra with the interfaces Lumbra.IQuorra (methods and
// properties), Lumbra.IQuorraEvents (signals) and Lumbra.QuorraInstance (Release). Calls are
// dispatched by hand so that the introspection served is the shipped type library itself.

#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <functional>

namespace ferrowin {

class TQuorra;

inline constexpr const char* QuorraPath = "/Quorra";
inline constexpr const char* QuorraInterface = "Lumbra.IQuorra";
inline constexpr const char* QuorraEventsInterface = "Lumbra.IQuorraEvents";
inline constexpr const char* QuorraInstanceInterface = "Lumbra.QuorraInstance";

// The type library: the introspection XML shipped in data/.
[[nodiscard]] const char* LumbraTypeLibrary();

class TQuorraObject : public QDBusVirtualObject {
  Q_OBJECT
 public:
  // Relays the object's events as signals on the connection.
  TQuorraObject(TQuorra& quorra, QDBusConnection connection);
  ~TQuorraObject() override;

  // Registers at /Quorra; false when the path is taken.
  [[nodiscard]] bool Register();

  // The client released the object.
  std::function<void()> OnRelease;

  QString introspect(const QString& path) const override;
  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

 private:
  QDBusMessage CallMember(const QDBusMessage& message);
  QDBusMessage CallProperties(const QDBusMessage& message);

  TQuorra& Quorra;
  QDBusConnection Connection;
  bool Registered = false;
};

}  // namespace ferrowin
