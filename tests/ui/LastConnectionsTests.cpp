#include <gtest/gtest.h>

#include <QSettings>

#include "LastConnections.h"
#include "TempHome.h"

namespace ferrowin {
namespace {

QStringList Slots(const TLastConnections& last) {
  QStringList names;
  for (int i = 0; i < TLastConnections::Count; ++i) names << last[i];
  return names;
}

TLastConnections Filled(const QStringList& names) {
  TLastConnections last;
  for (auto it = names.rbegin(); it != names.rend(); ++it) last.Add(*it);
  return last;
}

TEST(LastConnections, Order) {
  struct Case {
    const char* what;
    QStringList before;
    QString added;
    QStringList after;
  };
  const QStringList eight = {"s0", "s1", "s2", "s3", "s4", "s5", "s6", "s7"};
  const Case cases[] = {
      {"first ever", {"", "", "", "", "", "", "", ""}, "a", {"a", "", "", "", "", "", "", ""}},
      {"slot 3 to slot 0", eight, "s3", {"s3", "s0", "s1", "s2", "s4", "s5", "s6", "s7"}},
      {"already most recent", eight, "s0", eight},
      {"last slot", eight, "s7", {"s7", "s0", "s1", "s2", "s3", "s4", "s5", "s6"}},
      {"ninth drops the oldest", eight, "new", {"new", "s0", "s1", "s2", "s3", "s4", "s5", "s6"}},
      {"case matters", eight, "S3", {"S3", "s0", "s1", "s2", "s3", "s4", "s5", "s6"}},
      {"with free slots", {"a", "b", "", "", "", "", "", ""}, "b", {"b", "a", "", "", "", "", "", ""}},
      {"empty name is none", eight, "", eight},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QStringList used;
    for (const QString& s : c.before)
      if (!s.isEmpty()) used << s;
    TLastConnections last = Filled(used);
    ASSERT_EQ(Slots(last), c.before);
    last.Add(c.added);
    EXPECT_EQ(Slots(last), c.after);
  }
}

TEST(LastConnections, KeptInTheRegistryStandIn) {
  test::TTempHome home;
  TLastConnections none;
  none.Load(*OpenRegistry());
  EXPECT_FALSE(none.Any());

  TLastConnections last = Filled({"one", "two", "three"});
  EXPECT_TRUE(last.Any());
  last.Save(*OpenRegistry());

  // FERROWIN_HOME holds it, not the user's configuration folder.
  QSettings file(QString::fromStdString(home.Path + "/Harlune Media/Tavistrel.conf"), QSettings::IniFormat);
  EXPECT_EQ(file.value("Last Connections1/Site").toString(), "one");
  EXPECT_EQ(file.value("Last Connections3/Site").toString(), "three");
  EXPECT_TRUE(file.contains("Last Connections8/Site"));

  TLastConnections read;
  read.Load(*OpenRegistry());
  EXPECT_EQ(Slots(read), Slots(last));

  ::unsetenv("FERROWIN_HOME");
  EXPECT_EQ(OpenRegistry()->fileName().toStdString(), home.Path + "/xdg/Harlune Media/Tavistrel.conf");
}

TEST(LastConnections, RemovingASiteMovesTheLaterOnesUp) {
  TLastConnections last = Filled({"one", "two", "three"});
  last.Remove("two");
  EXPECT_EQ(Slots(last), (QStringList{"one", "three", "", "", "", "", "", ""}));
  last.Remove("absent");
  EXPECT_EQ(last[1], "three");
}

}  // namespace
}  // namespace ferrowin
