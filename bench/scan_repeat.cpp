// scan_repeat: the in-process cost of a full scan, cold (a fresh source, as a
// `tarnwick --list` run has) and warm (the same source again, as the panel's
// refresh every few seconds has). Prints the median of each and their ratio.
//   scan_repeat [ROUNDS]   (default 21)
#include "core/scan/scan_source_linux.h"
#include "core/scan/scan.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

double millisecondsOf(const auto& work) {
  auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
  std::vector<double> cold, warm;
  size_t entries = 0;
  int fullWalks = 0;
  ProcScanSource shared;
  PortCore::listPorts(shared);
  for (int i = 0; i < rounds; ++i) {
    cold.push_back(millisecondsOf([&] {
      ProcScanSource fresh;
      entries = PortCore::listPorts(fresh).size();
    }));
    warm.push_back(millisecondsOf([&] { PortCore::listPorts(shared); }));
    if (shared.lastWalk() == ProcScanSource::LastWalk::Full) ++fullWalks;
  }
  double c = median(cold), w = median(warm);
  std::printf("entries %zu, %d rounds\n", entries, rounds);
  std::printf("cold scan   median %8.2f ms\n", c);
  std::printf("warm scan   median %8.2f ms\n", w);
  std::printf("warm scans that fell back to a full walk: %d of %d\n", fullWalks, rounds);
  std::printf("warm / cold        %8.3f\n", w / c);
}
