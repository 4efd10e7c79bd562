// The owner icon: desktop entries matched by program, window class or file
// name, the cache per listed process and the fallback.
#include "panel_fakes.h"
#include "support/test_process.h"
#include "ui/owner_icon.h"

#include <QPixmap>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(OwnerIcon, DesktopEntriesMatchByProgramClassOrFileName) {
  TempDir user, system;
  user.write("code.desktop",
            "[Desktop Entry]\nName=Code\nExec=\"/usr/share/code/code\" --new-window %F\n"
            "Icon=vscode-user\n");
  system.write("code.desktop", "[Desktop Entry]\nExec=code\nIcon=vscode-system\n");
  system.write("firefox-esr.desktop",
            "[Desktop Entry]\nExec=/usr/lib/firefox-esr/firefox-esr %u\nStartupWMClass=Navigator\n"
            "Icon=firefox-esr\n[Desktop Action new]\nIcon=wrong\n");
  system.write("noicon.desktop", "[Desktop Entry]\nExec=noicon\n");
  system.write("broken.desktop", "Icon=stray\nExec=stray\n");

  DesktopIconIndex index({QString::fromStdString(user.path()),
                          QString::fromStdString(system.path())});
  const std::pair<QStringList, std::optional<QString>> cases[] = {
      {{"code"}, "vscode-user"},  // the user's entry wins
      {{"Firefox-ESR"}, "firefox-esr"},
      {{"navigator"}, "firefox-esr"},
      {{"unknown", "firefox-esr"}, "firefox-esr"},
      {{"noicon"}, std::nullopt},
      {{"stray"}, std::nullopt},
  };
  for (const auto& [names, icon] : cases) EXPECT_EQ(index.iconFor(names), icon) << names.join(",").toStdString();
}

// One lookup per process while it is listed, in the background: a reused PID
// or a new root is another process, and the first name that loads answers.
TEST(OwnerIcon, CachedPerListedProcessWhileListed) {
  auto background = std::make_shared<QueueExecutor>();
  auto gui = std::make_shared<QueueExecutor>();
  QTemporaryDir icons;
  QPixmap pixmap(8, 8);
  pixmap.fill(Qt::red);
  pixmap.save(icons.filePath("icon.png"));
  int lookups = 0, arrivals = 0;
  OwnerIconCache cache([&](int32_t) { ++lookups; return QStringList{"no-such-icon", icons.filePath("icon.png")}; },
                       background, gui);
  QObject::connect(&cache, &OwnerIconCache::arrived, [&arrivals] { ++arrivals; });
  const auto look = [&](ProcessIdentity process, int32_t root) {
    cache.iconFor(process, root);
    background->drain();
    gui->drain();
    return std::pair(lookups, arrivals);
  };
  EXPECT_EQ(look({4242, 100}, 1), std::pair(1, 1));
  EXPECT_EQ(look({4242, 100}, 1), std::pair(1, 1)) << "same process";
  EXPECT_EQ(look({4242, 900}, 1), std::pair(2, 2)) << "reused PID";
  EXPECT_EQ(look({4242, 900}, 7), std::pair(3, 3)) << "adopted by another tree";
  cache.keepOnly({{4242, 900}});
  EXPECT_EQ(look({4242, 900}, 7), std::pair(3, 3)) << "still listed";
  EXPECT_EQ(look({4242, 100}, 1), std::pair(4, 4)) << "dropped, looked up again";
  EXPECT_FALSE(genericExecutableIcon().pixmap(28, 28).isNull());
}

}  // namespace
