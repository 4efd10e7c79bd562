#pragma once
// Login names of user IDs from the password database, remembered per ID: a
// scan asks for the same few users again and again.
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

class UserNames {
 public:
  /// The login name of `uid`; absent when the database has no entry for it.
  std::optional<std::string> name(uint32_t uid);

 private:
  std::mutex mutex_;
  std::unordered_map<uint32_t, std::optional<std::string>> names_;
};
