#pragma once
// Where the resource bundle (Tarnwick_Tarnwick.bundle: one <code>.lproj
// directory per language, and the menu-bar icon) may lie, and finding it.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace L10n {

inline constexpr const char* kBundleName = "Tarnwick_Tarnwick.bundle";

struct BundleCandidates {
  /// The places to try, in order.
  std::vector<std::filesystem::path> inOrder;
  /// The two places that the failure message names.
  std::filesystem::path besideExecutable;
  std::filesystem::path buildTree;
};

/// The candidates for an executable at `executable` (absent when unknown):
/// `appResources` (the application bundle's resources directory, when the
/// executable lies in one), the executable's own directory, the installed
/// data directory <exe dir>/../share/tarnwick, and last `buildTree`.
BundleCandidates bundleCandidatesFor(const std::optional<std::filesystem::path>& executable,
                                     const std::optional<std::filesystem::path>& appResources,
                                     const std::filesystem::path& buildTree);

/// The candidates for the running executable.
BundleCandidates bundleCandidates();

/// The first candidate at which a directory exists; absent when none does.
std::optional<std::filesystem::path> locateBundle(const BundleCandidates& candidates);

/// "could not load resource bundle: from <beside executable> or <build tree>"
std::string missingBundleMessage(const BundleCandidates& candidates);

}  // namespace L10n
