#include "integrations/notification_sink.h"
#include "integrations/osascript_notification.h"

#include "support/fake_tool_runner.h"
#include "support/test_process.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>

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

// Swaps PATH for the length of a test.
class ScopedSearchPath {
 public:
  explicit ScopedSearchPath(const std::string& path) {
    if (const char* old = std::getenv("PATH")) old_ = old;
    ::setenv("PATH", path.c_str(), 1);
  }
  ~ScopedSearchPath() { ::setenv("PATH", old_.c_str(), 1); }

 private:
  std::string old_;
};

TEST(NotifySendSinkTest, RunsNotifySendFromPathWithMessageAsBody) {
  TempDir dir;
  auto notifySend = dir.write("bin/notify-send", "#!/bin/sh\n");
  ::chmod(notifySend.c_str(), 0755);
  ScopedSearchPath path(dir.path() + "/empty:" + dir.path() + "/bin");
  FakeToolRunner runner;
  Notifications::fallbackSink(runner)->post("Tarnwick", "-port 3000 \"closed\"");
  EXPECT_EQ(runner.calls(), (std::vector<FakeToolRunner::Call>{
                                {notifySend, {"--app-name=Tarnwick", "--", "Tarnwick", "-port 3000 \"closed\""}}}));
}

TEST(NotifySendSinkTest, WithoutNotifySendTheMessageIsDropped) {
  TempDir dir;
  ScopedSearchPath path(dir.path());
  FakeToolRunner runner;
  Notifications::fallbackSink(runner)->post("Tarnwick", "lost");
  EXPECT_TRUE(runner.calls().empty());
}

}  // namespace
