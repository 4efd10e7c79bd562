// ps columns and /proc/[pid]/stat text from anywhere: the parsers must never
// crash or read out of bounds.
#include "core/stats/proc_stat.h"
#include "core/stats/stats.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  PortCore::parsePsStats(text);
  PortCore::parseProcCounters(text);
  return 0;
}
