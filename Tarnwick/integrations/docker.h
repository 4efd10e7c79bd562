#pragma once
// Which docker container publishes which host port.
#include "core/system/clock.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class ToolRunner;

/// A container publishing a host port, and the host address it publishes it
/// on as the client wrote it, brackets dropped ("0.0.0.0", "::", "127.0.0.2";
/// empty when it wrote none).
struct PublishedPort {
  std::string host;
  std::string name;
  bool operator==(const PublishedPort&) const = default;
};

/// Host port to what publishes it, in the client's order.
using ContainerMap = std::map<int64_t, std::vector<PublishedPort>>;

namespace Docker {

/// How long the client may take: `docker stop` waits out the container's own
/// grace period before it answers.
inline constexpr std::chrono::seconds kPsDeadline{5};
inline constexpr std::chrono::seconds kStopDeadline{30};

/// Host port to what publishes it from one uncached run of the system's client;
/// empty without a docker client or when it does not answer within kPsDeadline.
ContainerMap containerPorts();

/// Stops the container; does nothing without a docker client. Blocks for up
/// to kStopDeadline.
void stop(const std::string& name);

/// The map from `docker ps --format "{{.Names}}\t{{.Ports}}"` output. Lines
/// and mappings of another shape are skipped; each port lists its mappings in
/// the order printed, so the last is the one printed last.
ContainerMap parseContainerPorts(std::string_view output);

/// The docker client and how to run it.
struct Client {
  std::optional<std::string> path;  ///< absent: no client
  ToolRunner& runner;
};

/// The first client of ToolPaths::dockerCandidates(), run by the system's tool runner;
/// looked for once.
const Client& systemClient();

/// The last container map, when it was taken, and whether a fetch of the next
/// one is under way. Safe from several threads: each reader sees a whole pair,
/// the older or the newer.
class PortCache {
 public:
  static constexpr std::chrono::seconds kTimeToLive{30};
  /// The stored map while younger than kTimeToLive at `now`.
  std::optional<ContainerMap> fresh(Clock::Duration now) const;
  /// The stored map however old; empty before the first store.
  ContainerMap last() const;
  /// Claims the one fetch allowed at a time; false while another holds it.
  bool claimFetch();
  /// Stores the map and releases the claim.
  void store(ContainerMap map, Clock::Duration at);

 private:
  mutable std::mutex mutex_;
  std::optional<std::pair<ContainerMap, Clock::Duration>> entry_;
  bool fetching_ = false;
};

/// containerPorts() cached for kTimeToLive: `cache` when fresh on `clock`;
/// else one run of `client`, stored in `cache`, unless a run is already under
/// way, in which case the last map in `cache`, however old, without waiting.
ContainerMap containerPorts(const Client& client, PortCache& cache, const Clock& clock);

/// One uncached run of the client, parsed; empty without a client.
ContainerMap fetchContainerPorts(const Client& client);

/// stop() through `client`.
void stop(const Client& client, const std::string& name);

/// The first of `candidates` that is an executable file for this user.
std::optional<std::string> findClient(const std::vector<std::string>& candidates);

}  // namespace Docker
