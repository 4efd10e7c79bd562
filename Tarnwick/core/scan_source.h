#pragma once
// Where a scan's raw text comes from. Each call returns exactly the text that
// its tool would print, so the parsers are the same whatever the source:
// the real tools, a native reader of /proc, or canned text in tests.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class ToolRunner;

class ScanSource {
 public:
  virtual ~ScanSource() = default;
  /// `lsof -F pcRuLPn -iTCP -sTCP:LISTEN -n -P +c0`
  virtual std::string listeningSockets() = 0;
  /// `ps -axo pid=,ppid=,comm=`
  virtual std::string processList() = 0;
  /// `lsof -a -p PID,PID,... -d cwd -F pn`
  virtual std::string workingDirectories(const std::vector<int32_t>& pids) = 0;
  /// `lsof -F n -iTCP -sTCP:LISTEN -n -P`
  virtual std::string listeningPortNumbers() = 0;
};

/// The real lsof and ps, run through a tool runner.
class ToolScanSource final : public ScanSource {
 public:
  explicit ToolScanSource(ToolRunner& runner);
  std::string listeningSockets() override;
  std::string processList() override;
  std::string workingDirectories(const std::vector<int32_t>& pids) override;
  std::string listeningPortNumbers() override;

 private:
  ToolRunner& runner_;
};

namespace PortCore {

/// The source the simple forms of the scan use: the native reader of /proc on
/// Linux, the tools on macOS. Safe to use from several threads at once.
ScanSource& systemScanSource();

/// A new source of the real system, with a repeated-scan cache of its own:
/// the native reader of /proc on Linux, the tools on macOS.
std::unique_ptr<ScanSource> makeSystemScanSource();

}  // namespace PortCore
