#include "integrations/notification_sink.h"
#include "integrations/osascript_notification.h"

#include <gtest/gtest.h>

namespace {

TEST(OsascriptNotificationTest, MessageSurvivesAsOneStringLiteral) {
  struct Row {
    const char* body;
    const char* script;
  };
  const Row rows[] = {
      {"Port 3000 opened", R"(display notification "Port 3000 opened" with title "Tarnwick")"},
      {"say \"hi\"", R"(display notification "say \"hi\"" with title "Tarnwick")"},
      {"ends in \\", R"(display notification "ends in \\" with title "Tarnwick")"},
      {"\\\" both", R"(display notification "\\\" both" with title "Tarnwick")"},
      {"", R"(display notification "" with title "Tarnwick")"},
  };
  for (const auto& row : rows) EXPECT_EQ(Osascript::notificationScript(row.body, "Tarnwick"), row.script);
}

}  // namespace
