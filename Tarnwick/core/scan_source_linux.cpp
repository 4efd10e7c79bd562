#include "core/scan_source.h"

#include "core/tool_runner.h"

namespace PortCore {

ScanSource& systemScanSource() {
  static ToolScanSource source(systemToolRunner());
  return source;
}

}  // namespace PortCore
