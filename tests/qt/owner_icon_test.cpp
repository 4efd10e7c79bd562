// The owner icon: desktop entries matched by program, window class or file
// name, the cache per root process and the fallback.
#include "support/test_process.h"
#include "ui/owner_icon.h"

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
      {{}, std::nullopt},
  };
  for (const auto& [names, icon] : cases) EXPECT_EQ(index.iconFor(names), icon) << names.join(",").toStdString();
}

TEST(OwnerIcon, CachedPerRootProcessWithAFallback) {
  PortEntry a;
  a.pid = 999999;
  a.rootPid = 999998;  // no such process: the generic icon
  PortEntry b = a;
  b.pid = 999997;
  QIcon first = ownerIcon(a);
  EXPECT_FALSE(first.isNull());
  EXPECT_EQ(ownerIcon(b).cacheKey(), first.cacheKey());
  EXPECT_FALSE(genericExecutableIcon().pixmap(28, 28).isNull());
}

}  // namespace
