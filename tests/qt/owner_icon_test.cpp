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

// Steps on one cache, its lookups answered by hand: look a process up, or keep
// only some processes. Every lookup answers with an icon of its own.
TEST(OwnerIcon, CachedPerListedProcessWhileListed) {
  auto background = std::make_shared<QueueExecutor>();
  auto gui = std::make_shared<QueueExecutor>();
  QTemporaryDir icons;
  int files = 0, lookups = 0;
  OwnerIconCache cache(
      [&](int32_t) {
        ++lookups;
        QString path = icons.filePath(QString::number(++files) + ".png");
        QPixmap pixmap(8, 8);
        pixmap.fill(Qt::red);
        pixmap.save(path);
        return QStringList{"no-such-icon", path};
      },
      background, gui);
  int arrivals = 0;
  QObject::connect(&cache, &OwnerIconCache::arrived, [&arrivals] { ++arrivals; });
  const ProcessIdentity first{4242, 100}, reused{4242, 900}, other{77, 5};
  struct Step {
    const char* what;
    std::optional<ProcessIdentity> look;  ///< else prune to `keep`
    int32_t root;
    std::vector<ProcessIdentity> keep;
    int lookups;
  };
  const Step steps[] = {
      {"first look", first, 4242, {}, 1},
      {"same process", first, 4242, {}, 1},
      {"reused PID", reused, 4242, {}, 2},
      {"adopted by another tree", reused, 1, {}, 3},
      {"other process", other, 77, {}, 4},
      {"prune to the reused PID", std::nullopt, 0, {reused}, 4},
      {"reused PID still cached", reused, 1, {}, 4},
      {"dropped process looked up again", other, 77, {}, 5},
  };
  const qint64 generic = cache.iconFor({1, 1}, 1).cacheKey();
  background->drain();
  gui->drain();
  lookups = 0;
  for (const Step& step : steps) {
    if (!step.look) {
      cache.keepOnly(step.keep);
      continue;
    }
    int before = arrivals;
    QIcon shown = cache.iconFor(*step.look, step.root);
    background->drain();
    gui->drain();
    QIcon answered = cache.iconFor(*step.look, step.root);
    bool lookedUp = answered.cacheKey() != shown.cacheKey();
    EXPECT_EQ(lookedUp, arrivals > before) << step.what;
    EXPECT_EQ(shown.cacheKey() == generic, lookedUp) << step.what;
    EXPECT_NE(answered.cacheKey(), generic) << step.what;
    EXPECT_EQ(lookups, step.lookups) << step.what;
  }
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
