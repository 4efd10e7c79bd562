#pragma once
// A set of ports stored as text: decimal numbers joined by ",", as the watched
// and the hidden ports are kept in the preferences store.
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

/// The numbers of `text` split at ","; empty pieces and pieces that are not
/// numbers (spaces included) are dropped.
std::set<int64_t> parsePortSet(std::string_view text);
/// The members in decimal joined by "," with no spaces; "" for none.
std::string joinPortSet(const std::set<int64_t>& ports);
