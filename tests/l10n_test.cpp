#include "core/records/action_outcome.h"
#include "integrations/l10n.h"
#include "integrations/language.h"
#include "integrations/resource_bundle.h"
#include "support/test_process.h"

#include <gtest/gtest.h>

#include <map>
#include <thread>

namespace {

namespace fs = std::filesystem;
using L10n::Catalog;

// A bundle with the given languages, each holding the given table source.
std::string makeBundle(const TempDir& dir, const std::map<std::string, std::string>& languages) {
  for (const auto& [code, table] : languages) dir.write(code + ".lproj/Localizable.strings", table);
  return dir.path();
}

TEST(Language, LocaleNamesGiveLanguageCodes) {
  const std::pair<const char*, std::optional<std::string>> cases[] = {
      {"tr_TR.UTF-8", "tr"},
      {"de@euro", "de"},
      {"pt-BR", "pt"},
      {"TR.utf8", "tr"},
      {"fil_PH", "fil"},
      {"C", std::nullopt},
      {"POSIX", std::nullopt},
      {"e1_US", std::nullopt},
  };
  for (const auto& [locale, language] : cases) EXPECT_EQ(L10n::languageOfLocale(locale), language) << locale;
}

TEST(Language, EnvironmentIsReadInPrecedenceOrder) {
  const std::map<std::string, std::string> env{
      {"LANGUAGE", "de:tr_TR::C"},
      {"LC_ALL", "fr_FR.UTF-8"},
      {"LANG", "en_US.UTF-8"},
  };
  auto variable = [&](const char* name) { return env.count(name) ? std::optional(env.at(name)) : std::nullopt; };
  EXPECT_EQ(L10n::languagesFromEnvironment(variable), (std::vector<std::string>{"de", "tr", "fr", "en"}));
}

TEST(Language, ChoiceFollowsTheSettingThenTheSystem) {
  TempDir dir;
  Catalog catalog(makeBundle(dir, {{"en", ""}, {"tr", ""}}));
  // The setting, the system's languages, the choice.
  const std::tuple<std::optional<std::string>, std::vector<std::string>, const char*> cases[] = {
      {std::nullopt, {"tr"}, "tr"},
      {"en", {"tr"}, "en"},
      {"tr", {"en"}, "tr"},
      {"de", {"tr"}, "tr"},
      {std::nullopt, {"de", "tr"}, "tr"},
      {std::nullopt, {"de"}, "en"},
      {"../en.lproj", {"tr"}, "tr"},
      {"EN", {"tr"}, "tr"},
  };
  for (const auto& [setting, system, expected] : cases)
    EXPECT_EQ(L10n::chooseLanguage(setting, system, catalog), expected) << setting.value_or("(absent)");

  TempDir englishOnly;
  EXPECT_EQ(L10n::chooseLanguage("tr", {"tr"}, Catalog(makeBundle(englishOnly, {{"en", ""}}))), "en");
  for (const char* code : {"../en", "./en", "en/..", "e n", ""}) EXPECT_EQ(catalog.table(code), nullptr) << code;
  TempDir plain;  // every kind of character a code may hold, at each end of its range
  EXPECT_NE(Catalog(makeBundle(plain, {{"az-AZ_09", ""}})).table("az-AZ_09"), nullptr);
}

// Through the process's own bundle.
TEST(Lookup, AChangedLanguageTakesEffectAtTheNextLookup) {
  L10n::Texts texts(std::make_shared<const Catalog>(L10n::resources()), {"tr"});
  EXPECT_EQ(texts.format("hidden_ports", {int64_t{2}}), "Gizli portlar: 2");
  texts.setAppLanguage("en");
  EXPECT_EQ(texts.format("hidden_ports", {int64_t{2}}), "Hidden ports: 2");
  texts.setAppLanguage("system");
  EXPECT_EQ(texts.format("hidden_ports", {int64_t{2}}), "Gizli portlar: 2");
  EXPECT_EQ(texts.text("no_such_key"), "no_such_key");
}

TEST(Lookup, ConcurrentFirstLookups) {
  TempDir dir;
  auto catalog = std::make_shared<const Catalog>(makeBundle(dir, {{"en", R"("k" = "v";)"}, {"tr", R"("k" = "t";)"}}));
  const L10n::Texts english(catalog, {"en"}), turkish(catalog, {"tr"});
  std::vector<std::thread> threads;
  for (int i = 0; i < 8; ++i)
    threads.emplace_back([&, i] {
      for (int n = 0; n < 200; ++n) EXPECT_EQ((i % 2 ? turkish : english).text("k"), i % 2 ? "t" : "v");
    });
  for (auto& thread : threads) thread.join();
}

// The texts we ship: both languages hold the same keys, and each format key
// takes exactly the values its callers pass.
TEST(ShippedBundle, EveryLanguageHoldsEveryKeyWithFittingPlaceholders) {
  const std::string a = "ARG_A", b = "ARG_B";
  const FormatArg n = int64_t{60001};
  const std::map<std::string, std::vector<FormatArg>> formats{
      {"docker_container", {a}},
      {"started_by", {a, b}},
      {"notif_opened", {n}},
      {"notif_closed", {n}},
      {"hero_exposed", {n}},
      {"hidden_ports", {n}},
      {"confirm_docker", {a}},
      {"help_docker_stop", {a}},
      {"open_in_editor", {a}},
      {"summary_dev", {n}},
      {"tray_tooltip_many", {n}},
      {"notif_opened_many", {n, a}},
      {"notif_closed_many", {n, a}},
      {"restart_not_back", {n, a}},
      {"restart_not_back_no_log", {n}},
      {"tray_more", {n}},
      {"tray_confirm", {a, n}}, {"tray_outcome", {n, a}}};
  auto catalog = std::make_shared<const Catalog>(fs::path(tarnwickPath()).parent_path() / L10n::kBundleName);
  auto english = catalog->table("en"), turkish = catalog->table("tr");
  ASSERT_TRUE(english && turkish);
  EXPECT_EQ(turkish->size(), english->size());
  for (const auto& entry : *english) EXPECT_TRUE(turkish->count(entry.first)) << "tr lacks " << entry.first;
  for (const auto& [key, args] : formats) EXPECT_TRUE(english->count(key)) << key;
  for (const auto& table : {english, turkish})
    for (const auto& [key, text] : *table) {
      EXPECT_FALSE(text.empty()) << key;
      auto args = formats.contains(key) ? formats.at(key) : std::vector<FormatArg>{};
      std::string out = L10n::formatText(text, args);
      EXPECT_TRUE(!args.empty() || out == text) << key << ": " << out;
      for (const auto& arg : args) {
        auto number = std::get_if<int64_t>(&arg);
        EXPECT_NE(out.find(number ? std::to_string(*number) : std::get<std::string>(arg)), std::string::npos) << out;
      }
      EXPECT_EQ(out.find('%'), std::string::npos) << key << ": " << out;
    }
  // The command line prints the English outcome texts that the panel looks up.
  using enum ActionOutcome;
  for (auto outcome : {ProcessChanged, NotPermitted, RestartForeign, RestartNoCommand, RestartRetitled,
                       RestartNoDirectory, RestartNoProgram, LaunchFailed}) {
    auto [key, text] = PortCore::outcomeText(outcome);
    EXPECT_EQ(L10n::Texts(catalog, {"en"}).text(std::string(key)), text) << key;
  }
}

}  // namespace
