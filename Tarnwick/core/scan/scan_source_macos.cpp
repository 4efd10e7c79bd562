#include "core/scan/scan_source.h"

#include "core/system/tool_runner.h"

namespace PortCore {

std::unique_ptr<ScanSource> makeSystemScanSource() {
  return std::make_unique<ToolScanSource>(systemToolRunner());
}

}  // namespace PortCore
