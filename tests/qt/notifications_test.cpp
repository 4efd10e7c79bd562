// A private session bus that no desktop serves: notifications go to the
// fallback. The real servers' side, and the notice of a missing tray host, are
// in tray_session_test.cpp.
#include "dbus_stand_in.h"
#include "integrations/qt/dbus_notification_sink.h"
#include "support/recording_sink.h"

#include <gtest/gtest.h>

TEST(DbusNotificationSink, NobodyServingTheInterfaceFallsBack) {
  PrivateBus bus;
  auto fallback = std::make_shared<RecordingSink>();
  const auto sink = makeDbusNotificationSink(bus.connection("tarnwick"), fallback);
  EXPECT_EQ(sink->postWithdrawable("Tarnwick", "lost on the bus"), std::nullopt) << "nothing to withdraw";
  EXPECT_EQ(fallback->taken(), (std::vector<RecordingSink::Post>{{"Tarnwick", "lost on the bus"}}));
}
