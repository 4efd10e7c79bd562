#include "core/records/port_entry.h"
#include "support/port_entry_printer.h"

#include <gtest/gtest.h>

// Root's, a service account's ("_postgres") and the named system commands are
// the system's; names match exactly.
TEST(PortEntry, SystemProcesses) {
  const std::tuple<const char*, const char*, bool> cases[] = {
      {"root", "node", true},       {"_postgres", "postgres", true}, {"alice", "launchd", true},
      {"alice", "Launchd", false},  {"alicé_", "node", false},        {"alice", "node", false},
  };
  for (const auto& [user, command, system] : cases)
    EXPECT_EQ((PortEntry{3000, "*", 1, command, user, {}, 1, std::nullopt, std::nullopt}).isSystem(), system)
        << user << " " << command;
}

// The fixture scan (proc_text_linux_test) pins an entry with every field;
// here the absent ones stay out. A list decodes only when every element does.
TEST(PortEntryJson, EncodesListsCompactlyAndDecodesThemWhole) {
  PortEntry bare{80, "*", 7, "nginx", "root", {}, 7, std::nullopt, std::nullopt};
  std::string line =
      R"({"port":80,"address":"*","pid":7,"command":"nginx","user":"root","parentChain":[],"rootPid":7})";
  EXPECT_EQ(encodeJson(std::vector<PortEntry>{bare, bare}), "[" + line + "," + line + "]");
  EXPECT_EQ(encodeJson(std::vector<PortEntry>{}), "[]");
  EXPECT_EQ(decodePortEntries("[" + line + "," + line + "]"), (std::vector<PortEntry>{bare, bare}));
  EXPECT_FALSE(decodePortEntries("[" + line + ",{}]"));
  EXPECT_FALSE(decodePortEntries(line));
  // Deep nesting is refused, not recursed into.
  EXPECT_FALSE(decodePortEntries(std::string(100000, '[') + std::string(100000, ']')));
}

TEST(PortEntryJson, EscapesStrings) {
  const std::pair<std::string, std::string> cases[] = {
      {"say \"hi\"\b\f\r", R"("say \"hi\"\b\f\r")"}, {std::string("nul\0x", 5), R"("nul\u0000x")"},
      {"\x01\x1f\x7f", "\"\\u0001\\u001f\x7f\""},
      {"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x9a\x80", "\"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x9a\x80\""},
  };
  for (const auto& [raw, encoded] : cases) {
    std::string json = encodeJson(PortEntry{5173, "127.0.0.1", 4242, raw, "dev", {"npm"}, 4100, "/srv/shop", "shop"});
    EXPECT_NE(json.find("\"command\":" + encoded + ","), std::string::npos) << json;
    EXPECT_TRUE(decodePortEntry(json)) << json;
  }
}

TEST(PortEntryJson, DecodingRejectsMissingOrMistypedKeys) {
  const std::string base = R"("address":"*","pid":1,"command":"c","user":"u","parentChain":["p"],"rootPid":1)";
  const std::pair<std::string, bool> cases[] = {
      {"{\"port\":1," + base + "}", true},
      {"{\"port\":1," + base + ",\"cwd\":null,\"project\":null,\"extra\":[1]}", true},
      {"{" + base + "}", false},
      {R"({"port":1,"pid":1,"command":"c","user":"u","parentChain":[],"rootPid":1})", false},
      {R"({"port":1,"address":"*","pid":1,"command":"c","user":"u","rootPid":1})", false},
      {"{\"port\":\"1\"," + base + "}", false},
      {R"({"port":1,"address":7,"pid":1,"command":"c","user":"u","parentChain":[],"rootPid":1})", false},
      {R"({"port":1,"address":"*","pid":1,"command":"c","user":"u","parentChain":"p","rootPid":1})", false},
      {R"({"port":1,"address":"*","pid":1,"command":"c","user":"u","parentChain":[3],"rootPid":1})", false},
      {"{\"port\":1," + base + ",\"cwd\":5}", false},
      {"[]", false},
      {"{\"port\":1," + base, false},
      // PIDs must fit in 32 bits.
      {R"({"port":1,"address":"*","pid":2147483647,"command":"c","user":"u","parentChain":[],"rootPid":-2147483648})",
       true},
      {R"({"port":1,"address":"*","pid":2147483648,"command":"c","user":"u","parentChain":[],"rootPid":1})", false},
      {R"({"port":1,"address":"*","pid":-2147483649,"command":"c","user":"u","parentChain":[],"rootPid":1})", false},
  };
  for (const auto& [json, decodes] : cases) {
    std::string error;
    EXPECT_EQ(decodePortEntry(json, &error).has_value(), decodes) << json;
    EXPECT_EQ(error.empty(), decodes) << json;
  }
}
