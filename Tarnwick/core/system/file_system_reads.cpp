#include "core/system/file_system_reads.h"

#include "core/system/small_file.h"

#include <condition_variable>
#include <cstdint>
#include <system_error>
#include <thread>

namespace PortCore {

namespace {

using SteadyTime = std::chrono::steady_clock::time_point;

// What a round shares with its readers, one per file system. A reader owns a
// share, so one still blocked when the round, the owner or the program's
// statics are gone touches only memory it keeps alive; and it never holds the
// lock while it reads.
struct Round {
  struct Lane {
    std::vector<size_t> indexes;  ///< into paths, in order
    SteadyTime lastAnswer;
    bool givenUp = false;
    bool finished = false;
    std::shared_ptr<std::atomic<bool>> out;  ///< the owner's record of this file system
  };
  FileSystemReads::Read read;
  std::vector<std::string> paths;
  std::mutex mutex;
  std::condition_variable answered;
  std::vector<std::optional<std::string>> results;
  std::vector<Lane> lanes;  ///< never resized once readers run
};

void readLane(const std::shared_ptr<Round>& round, size_t which) {
  auto& lane = round->lanes[which];
  for (size_t index : lane.indexes) {
    {
      std::lock_guard lock(round->mutex);
      if (lane.givenUp) break;
    }
    std::optional<std::string> content;
    try {
      content = round->read(round->paths[index]);
    } catch (...) {
      // Nothing may escape a thread nobody joins; an unreadable file is absent.
    }
    std::lock_guard lock(round->mutex);
    if (lane.givenUp) break;
    round->results[index] = std::move(content);
    lane.lastAnswer = std::chrono::steady_clock::now();
    round->answered.notify_all();
  }
  // The file system answered its last read: it is live again for the next round.
  std::lock_guard lock(round->mutex);
  lane.finished = true;
  lane.out->store(false);
  round->answered.notify_all();
}

// Waits until every lane has finished or been given up: a lane is given up
// when its file system has not answered within `bound` of its last answer.
void awaitLanes(Round& round, std::chrono::milliseconds bound) {
  std::unique_lock lock(round.mutex);
  for (;;) {
    auto now = std::chrono::steady_clock::now();
    std::optional<SteadyTime> next;
    for (auto& lane : round.lanes) {
      if (lane.finished || lane.givenUp) continue;
      if (now >= lane.lastAnswer + bound) {
        lane.givenUp = true;
        continue;
      }
      if (!next || lane.lastAnswer + bound < *next) next = lane.lastAnswer + bound;
    }
    if (!next) return;
    round.answered.wait_until(lock, *next);
  }
}

}  // namespace

FileSystemReads::FileSystemReads() : FileSystemReads(readSmallFile, readMountTable) {}

FileSystemReads::FileSystemReads(Read read, MountTable mounts, std::chrono::milliseconds answerBound)
    : read_(std::move(read)), mounts_(std::move(mounts)), answerBound_(answerBound) {}

FileSystemReads::~FileSystemReads() = default;

std::vector<std::optional<std::string>> FileSystemReads::readAll(const std::vector<std::string>& paths) {
  std::lock_guard turn(mutex_);
  auto round = std::make_shared<Round>();
  round->read = read_;
  round->paths = paths;
  round->results.resize(paths.size());
  std::erase_if(outstanding_, [](const auto& entry) { return !entry.second->load(); });
  auto mounts = mounts_();
  std::unordered_map<std::string, size_t> laneOf;
  for (size_t i = 0; i < paths.size(); ++i) {
    auto fileSystem = fileSystemOf(mounts, paths[i]);
    auto& out = outstanding_[fileSystem];
    auto [lane, added] = laneOf.emplace(fileSystem, round->lanes.size());
    if (added && out && out->load()) lane->second = SIZE_MAX;  // an earlier read is still out: skip it
    if (lane->second == SIZE_MAX) continue;
    if (added) {
      out = std::make_shared<std::atomic<bool>>(true);
      round->lanes.push_back({{}, {}, false, false, out});
    }
    round->lanes[lane->second].indexes.push_back(i);
  }
  for (size_t which = 0; which < round->lanes.size(); ++which) {
    auto& lane = round->lanes[which];
    lane.lastAnswer = std::chrono::steady_clock::now();
    try {
      std::thread(readLane, round, which).detach();
    } catch (const std::system_error&) {
      std::lock_guard lock(round->mutex);
      lane.givenUp = lane.finished = true;
      lane.out->store(false);
    }
  }
  awaitLanes(*round, answerBound_);
  std::lock_guard lock(round->mutex);
  return round->results;
}

}  // namespace PortCore
