#include "core/proc_facts.h"

#include "core/proc_files.h"
#include "core/shell_command.h"

#include <fcntl.h>
#include <unistd.h>

ProcFacts::ProcFacts(std::string root) : root_(std::move(root)) {}

std::optional<std::string> ProcFacts::commandLine(int32_t pid) {
  // A file that cannot be read comes back empty, which has no command either.
  return PortCore::shellCommandFromCmdline(
      ProcFiles::readFile(AT_FDCWD, (root_ + "/" + std::to_string(pid) + "/cmdline").c_str()));
}

std::optional<uint32_t> ProcFacts::owner(int32_t pid) {
  int64_t uid = ProcFiles::ownerUid(AT_FDCWD, (root_ + "/" + std::to_string(pid)).c_str());
  if (uid < 0) return std::nullopt;
  return static_cast<uint32_t>(uid);
}

uint32_t ProcFacts::currentUser() { return ::getuid(); }

namespace PortCore {

ProcessFacts& systemProcessFacts() {
  static ProcFacts facts("/proc");
  return facts;
}

}  // namespace PortCore
