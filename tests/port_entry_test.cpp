#include "core/records/port_entry.h"
#include "support/port_entry_printer.h"

#include "core/system/text.h"
#include "support/property.h"

#include <nlohmann/json.hpp>

// Root's, a service account's ("_postgres") and the named system commands are
// the system's; names match exactly.
TEST(PortEntry, SystemProcesses) {
  const std::tuple<const char*, const char*, bool> cases[] = {
      {"root", "node", true},
      {"_postgres", "postgres", true},
      {"alice", "launchd", true},
      {"alice", "Launchd", false},
      {"alicé_", "node", false},
      {"alice", "node", false},
  };
  for (const auto& [user, command, system] : cases)
    EXPECT_EQ((PortEntry{3000, "*", 1, command, user, {}, 1, std::nullopt, std::nullopt}).isSystem(), system)
        << user << " " << command;
}

// Bound to every interface: what the panel marks and its filter keeps.
TEST(PortEntry, ExposedOnlyOnAWildcardAddress) {
  const std::pair<const char*, bool> cases[] = {
      {"*", true},
      {"0.0.0.0", true},
      {"[::]", true},
      {"127.0.0.1", false},
      {"[::1]", false},
      {"", false},
      {"192.168.1.4", false},
      {"[::ffff:0.0.0.0]", false},
  };
  for (const auto& [address, exposed] : cases)
    EXPECT_EQ((PortEntry{80, address, 1, "c", "u", {}, 1, std::nullopt, std::nullopt}).isExposed(), exposed) << address;
}

// A list decodes only when every element does (the captured --list output
// pins a whole list read back).
TEST(PortEntryJson, DecodesListsWhole) {
  const std::string line =
      R"({"port":80,"address":"*","pid":7,"command":"nginx","user":"root","parentChain":[],"rootPid":7})";
  EXPECT_FALSE(decodePortEntries("[" + line + ",{}]"));
  EXPECT_FALSE(decodePortEntries(line));
  // Deep nesting is refused, not recursed into.
  EXPECT_FALSE(decodePortEntries(std::string(100000, '[') + std::string(100000, ']')));
}

// Any entry, names holding any bytes, read back by nlohmann as it was made,
// with each byte that is not UTF-8 replaced; and by our own decoder the same.
TEST(PortEntryJson, AnyEntryReadsBackAsWritten) {
  const auto text = rc::gen::oneOf(rc::gen::string<std::string>(),
                                   rc::gen::container<std::string>(rc::gen::element('"', '\\', '/', '\x01', '\x1f',
                                                                                    '\x7f', '\xc3', '\xa9', 'a')));
  checkProperty([&] {
    const bool known = *rc::gen::arbitrary<bool>();  // a project exactly when a folder
    const PortEntry entry{*rc::gen::inRange<int64_t>(0, 65536), *text, *rc::gen::arbitrary<int32_t>(), *text, *text,
                          *rc::gen::container<std::vector<std::string>>(text), *rc::gen::arbitrary<int32_t>(),
                          known ? std::optional(*text) : std::nullopt, known ? std::optional(*text) : std::nullopt};
    const auto lossy = [](const std::string& raw) { return PortCore::decodeUtf8Lossy(raw); };
    std::vector<std::string> chain;
    for (const auto& name : entry.parentChain) chain.push_back(lossy(name));
    nlohmann::json expected = {{"port", entry.port},
                               {"address", lossy(entry.address)},
                               {"pid", entry.pid},
                               {"command", lossy(entry.command)},
                               {"user", lossy(entry.user)},
                               {"parentChain", chain},
                               {"rootPid", entry.rootPid}};
    if (known) expected.update({{"cwd", lossy(*entry.cwd)}, {"project", lossy(*entry.project)}});
    const auto json = nlohmann::json::parse(encodeJson(std::vector<PortEntry>{entry}));
    RC_ASSERT(json == nlohmann::json::array({expected}));
    auto decoded = decodePortEntry(json[0].dump());
    RC_ASSERT(decoded.has_value());
    RC_ASSERT(encodeJson(*decoded) == encodeJson(entry));
  }, 300);
}

TEST(PortEntryJson, DecodingRejectsMissingOrMistypedKeys) {
  const std::string base = R"("address":"*","pid":1,"command":"c","user":"u","parentChain":["p"],"rootPid":1)";
  const std::pair<std::string, bool> cases[] = {
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
