// The owner-icon cache: one background lookup per listed process.
#include "panel_fakes.h"
#include "ui/owner_icon.h"

#include <QPixmap>
#include <QTemporaryDir>

namespace {

// A reused PID or a new root is another process; a process no longer listed is forgotten.
TEST(OwnerIcon, CachedPerListedProcessWhileListed) {
  auto background = std::make_shared<QueueExecutor>(), gui = std::make_shared<QueueExecutor>();
  QTemporaryDir icons;
  QPixmap(8, 8).save(icons.filePath("icon.png"));
  int lookups = 0;
  OwnerIconCache cache([&](int32_t) { ++lookups; return QStringList{"no-such-icon", icons.filePath("icon.png")}; },
                       background, gui);
  const auto look = [&](ProcessIdentity process, int32_t root) {
    cache.iconFor(process, root);
    background->drain();
    gui->drain();
    return lookups;
  };
  EXPECT_EQ(look({4242, 100}, 1), 1);
  EXPECT_EQ(look({4242, 100}, 1), 1) << "same process";
  EXPECT_EQ(look({4242, 900}, 1), 2) << "reused PID";
  EXPECT_EQ(look({4242, 900}, 7), 3) << "adopted by another tree";
  cache.keepOnly({{4242, 900}});
  EXPECT_EQ(look({4242, 900}, 7), 3) << "still listed";
  EXPECT_EQ(look({4242, 100}, 1), 4) << "dropped, looked up again";
}

}  // namespace
