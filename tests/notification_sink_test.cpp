#include "integrations/notification_sink.h"
#include "integrations/notification_text.h"

#include <gtest/gtest.h>

TEST(OsascriptNotificationTest, MessageSurvivesAsOneStringLiteral) {
  EXPECT_EQ(Osascript::notificationScript("say \"hi\" \\", "Tarn\\wick"),
            R"(display notification "say \"hi\" \\" with title "Tarn\\wick")");
}

// A server that reads markup shows a body's tags and entities as written.
TEST(MarkupNotificationText, TagsAndEntitiesReadAsWritten) {
  EXPECT_EQ(Notifications::escapedForMarkup("<b>a&b</b> \"c\" 'd'"), "&lt;b&gt;a&amp;b&lt;/b&gt; \"c\" 'd'");
}
