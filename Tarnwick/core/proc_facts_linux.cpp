#include "core/proc_facts.h"

#include "core/shell_command.h"

#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

ProcFacts::ProcFacts(std::string root) : root_(std::move(root)) {}

std::optional<std::string> ProcFacts::commandLine(int32_t pid) {
  std::ifstream file(root_ + "/" + std::to_string(pid) + "/cmdline", std::ios::binary);
  if (!file) return std::nullopt;
  std::string raw{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  return PortCore::shellCommandFromCmdline(raw);
}

std::optional<uint32_t> ProcFacts::owner(int32_t pid) {
  struct stat info{};
  if (::stat((root_ + "/" + std::to_string(pid)).c_str(), &info) != 0) return std::nullopt;
  return info.st_uid;
}

uint32_t ProcFacts::currentUser() { return ::getuid(); }

namespace PortCore {

ProcessFacts& systemProcessFacts() {
  static ProcFacts facts("/proc");
  return facts;
}

}  // namespace PortCore
