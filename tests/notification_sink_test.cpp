#include "integrations/notification_sink.h"
#include "integrations/notification_text.h"

#include <gtest/gtest.h>

TEST(OsascriptNotificationTest, MessageSurvivesAsOneStringLiteral) {
  EXPECT_EQ(Osascript::notificationScript("say \"hi\" \\", "Tarn\\wick"),
            R"(display notification "say \"hi\" \\" with title "Tarn\\wick")");
}
