#include "integrations/resource_bundle.h"

#include "core/system/program_paths.h"

#include <system_error>

namespace L10n {

namespace fs = std::filesystem;

// The build tree's bundle, kept as data the compiler cannot fold into code:
// tests rewrite it in a copy of the executable to see a machine where no
// bundle is anywhere.
extern char buildTreeBundle[];
char buildTreeBundle[] = TARNWICK_BUILD_BUNDLE_DIR;

BundleCandidates bundleCandidatesFor(const std::optional<fs::path>& executable,
                                     const std::optional<fs::path>& appResources,
                                     const fs::path& buildTree) {
  BundleCandidates candidates;
  candidates.buildTree = buildTree;
  // Without a known executable the message still names something a user can
  // act on: the bundle's name, to be put beside the program.
  candidates.besideExecutable = kBundleName;
  if (appResources) candidates.inOrder.push_back(*appResources / kBundleName);
  if (executable) {
    fs::path directory = executable->parent_path();
    candidates.besideExecutable = directory / kBundleName;
    candidates.inOrder.push_back(candidates.besideExecutable);
    candidates.inOrder.push_back(
        (directory / ".." / TARNWICK_INSTALL_DATA_SUBDIR / kBundleName).lexically_normal());
  }
  candidates.inOrder.push_back(buildTree);
  return candidates;
}

BundleCandidates bundleCandidates() {
  std::optional<fs::path> executable;
  if (auto path = PortCore::runningExecutablePath(); !path.empty()) executable = fs::path(path);
  auto resources = executable ? PortCore::applicationResources(*executable) : std::nullopt;
  return bundleCandidatesFor(executable, resources, fs::path(buildTreeBundle));
}

std::optional<fs::path> locateBundle(const BundleCandidates& candidates) {
  for (const auto& candidate : candidates.inOrder) {
    std::error_code error;
    if (fs::is_directory(candidate, error)) return candidate;
  }
  return std::nullopt;
}

std::string missingBundleMessage(const BundleCandidates& candidates) {
  return "could not load resource bundle: from " + candidates.besideExecutable.string() + " or " +
         candidates.buildTree.string();
}

}  // namespace L10n
