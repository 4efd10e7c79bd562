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

// Looked up once per process while it is listed: a reused PID or a new root is
// another process. Each answer arrives in the background, the generic icon
// shown until then.
TEST(OwnerIcon, CachedPerListedProcessWhileListed) {
  auto background = std::make_shared<QueueExecutor>();
  auto gui = std::make_shared<QueueExecutor>();
  QTemporaryDir icons;
  QPixmap pixmap(8, 8);
  pixmap.fill(Qt::red);
  pixmap.save(icons.filePath("red.png"));
  int lookups = 0, arrivals = 0;
  OwnerIconCache cache([&](int32_t) { ++lookups; return QStringList{"no-such-icon", icons.filePath("red.png")}; },
                       background, gui);
  QObject::connect(&cache, &OwnerIconCache::arrived, [&arrivals] { ++arrivals; });
  const qint64 generic = cache.iconFor({1, 1}, 1).cacheKey();
  background->drain();
  gui->drain();
  lookups = arrivals = 0;
  const auto look = [&](ProcessIdentity process, int32_t root) {
    const bool waiting = cache.iconFor(process, root).cacheKey() == generic;
    background->drain();
    gui->drain();
    EXPECT_NE(cache.iconFor(process, root).cacheKey(), generic);
    return waiting;
  };
  const ProcessIdentity first{4242, 100}, reused{4242, 900}, other{77, 5};
  EXPECT_TRUE(look(first, 4242));
  EXPECT_FALSE(look(first, 4242)) << "same process";
  EXPECT_TRUE(look(reused, 4242)) << "reused PID";
  EXPECT_TRUE(look(reused, 1)) << "adopted by another tree";
  EXPECT_TRUE(look(other, 77));
  cache.keepOnly({reused});
  EXPECT_FALSE(look(reused, 1)) << "still listed";
  EXPECT_TRUE(look(other, 77)) << "dropped, looked up again";
  EXPECT_EQ(std::pair(lookups, arrivals), std::pair(5, 5));
  EXPECT_EQ(cache.size(), 2u);

  // An answer for a process dropped while it was looked up is not kept.
  cache.iconFor({9, 9}, 9);
  cache.keepOnly({});
  background->drain();
  gui->drain();
  EXPECT_EQ(cache.size(), 0u);
  EXPECT_FALSE(genericExecutableIcon().pixmap(28, 28).isNull());
}

}  // namespace
