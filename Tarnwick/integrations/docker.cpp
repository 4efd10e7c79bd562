#include "integrations/docker.h"

#include "core/system/program_paths.h"
#include "core/system/number.h"
#include "core/system/text.h"
#include "core/system/tool_runner.h"

#include <utility>

namespace Docker {

namespace {

// A real tab between the fields: container names hold no tabs.
const char* const kPsFormat = "{{.Names}}\t{{.Ports}}";

struct HostSide {
  std::string_view address;
  int64_t port = 0;
};

// "0.0.0.0:5432->5432/tcp" publishes host port 5432 on 0.0.0.0; IPv6 comes
// as "[::]:5432" or, from older clients, ":::5432". "5432/tcp" (exposed
// only) and ranges ("0.0.0.0:8000-8005->8000-8005/tcp") publish none here.
std::optional<HostSide> publishedHostSide(std::string_view mapping) {
  size_t arrow = mapping.find("->");
  if (arrow == std::string_view::npos) return std::nullopt;
  std::string_view host = PortCore::trimWhitespace(mapping.substr(0, arrow));
  size_t colon = host.rfind(':');
  if (colon == std::string_view::npos) return std::nullopt;
  auto port = PortCore::parseInt64(host.substr(colon + 1));
  if (!port) return std::nullopt;
  std::string_view address = host.substr(0, colon);
  if (address.size() >= 2 && address.front() == '[' && address.back() == ']')
    address = address.substr(1, address.size() - 2);
  return HostSide{address, *port};
}

void mapLine(std::string_view line, ContainerMap& map) {
  size_t tab = line.find('\t');
  if (tab == std::string_view::npos) return;
  std::string_view name = line.substr(0, tab), ports = line.substr(tab + 1);
  if (name.empty() || ports.empty()) return;
  for (std::string_view mapping : PortCore::splitNonEmpty(ports, ','))
    if (auto side = publishedHostSide(mapping))
      map[side->port].push_back({std::string(side->address), std::string(name)});
}

}  // namespace

const Client& systemClient() {
  static const Client client{findClient(ToolPaths::dockerCandidates()), PortCore::systemToolRunner()};
  return client;
}

ContainerMap parseContainerPorts(std::string_view output) {
  ContainerMap map;
  for (std::string_view line : PortCore::splitLines(output)) mapLine(line, map);
  return map;
}

std::optional<ContainerMap> PortCache::fresh(Clock::Duration now) const {
  std::lock_guard lock(mutex_);
  if (entry_ && now - entry_->second < kTimeToLive) return entry_->first;
  return std::nullopt;
}

ContainerMap PortCache::last() const {
  std::lock_guard lock(mutex_);
  return entry_ ? entry_->first : ContainerMap{};
}

bool PortCache::claimFetch() {
  std::lock_guard lock(mutex_);
  return !std::exchange(fetching_, true);
}

void PortCache::store(ContainerMap map, Clock::Duration at) {
  std::lock_guard lock(mutex_);
  entry_.emplace(std::move(map), at);
  fetching_ = false;
}

// Every panel refresh asks; with a daemon that has stopped answering, each
// would otherwise hold a worker for the whole deadline.
ContainerMap containerPorts(const Client& client, PortCache& cache, const Clock& clock) {
  if (auto cached = cache.fresh(clock.now())) return *cached;
  if (!cache.claimFetch()) return cache.last();
  ContainerMap map = fetchContainerPorts(client);
  cache.store(map, clock.now());
  return map;
}

ContainerMap fetchContainerPorts(const Client& client) {
  if (!client.path) return {};
  return parseContainerPorts(client.runner.run(*client.path, {"ps", "--format", kPsFormat}, {.deadline = kPsDeadline}));
}

void stop(const Client& client, const std::string& name) {
  if (client.path) client.runner.run(*client.path, {"stop", name}, {.deadline = kStopDeadline});
}

std::optional<std::string> findClient(const std::vector<std::string>& candidates) {
  for (const auto& path : candidates)
    if (PortCore::isExecutableFile(path)) return path;
  return std::nullopt;
}

ContainerMap containerPorts() { return fetchContainerPorts(systemClient()); }

void stop(const std::string& name) { stop(systemClient(), name); }

}  // namespace Docker
