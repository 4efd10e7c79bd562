#pragma once
// The stored form of the watched ports: decimal numbers joined by ",".
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

namespace WatchedPorts {

/// The numbers in `text`; empty pieces and pieces that are not numbers are skipped.
std::set<int64_t> parse(std::string_view text);
/// `ports` in decimal joined by ","; the empty text for no ports.
std::string format(const std::set<int64_t>& ports);

}  // namespace WatchedPorts
