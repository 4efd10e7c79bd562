#include "integrations/notification_sink.h"
#include "panel_fakes.h"
#include "ui/no_tray_notice.h"

#include <gtest/gtest.h>

namespace {

// A server that answers each post with `answer` as its id.
struct AnsweringSink final : NotificationSink {
  explicit AnsweringSink(std::optional<uint32_t> answer) : answer(answer) {}
  void post(const std::string& title, const std::string&) override { calls.push_back("post " + title); }
  std::optional<uint32_t> postWithdrawable(const std::string& title, const std::string& body) override {
    post(title, body);
    return answer;
  }
  void withdraw(uint32_t id) override { calls.push_back("withdraw " + std::to_string(id)); }

  std::optional<uint32_t> answer;
  std::vector<std::string> calls;
};

TEST(NoTrayNotice, IsWithdrawnOnceATrayComesWhereTheServerGaveItAnId) {
  struct Case {
    const char* name;
    std::optional<uint32_t> answer;
    std::string steps;  ///< S: no tray yet, T: a tray came, R: the background runs
    std::vector<std::string> calls;
  };
  const std::vector<Case> cases = {
      {"a tray after the notice", 7, "SRTR", {"post No system tray", "withdraw 7"}},
      {"a tray while the server answers", 7, "STR", {"post No system tray", "withdraw 7"}},
      {"no answer from the server", std::nullopt, "SRTR", {"post No system tray"}},
      {"a tray before any notice", 7, "TSR", {}},
      {"each said twice", 7, "SSRTTR", {"post No system tray", "withdraw 7"}},
  };
  for (const Case& c : cases) {
    AnsweringSink sink(c.answer);
    auto background = std::make_shared<QueueExecutor>();
    NoTrayNotice notice(sink, background);
    for (char step : c.steps) {
      if (step == 'S') notice.show("No system tray", "Run tarnwick again");
      if (step == 'T') notice.withdraw();
      if (step == 'R') background->drain();
    }
    EXPECT_EQ(sink.calls, c.calls) << c.name;
  }
}

}  // namespace
