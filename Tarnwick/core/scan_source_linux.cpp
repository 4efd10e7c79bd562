#include "core/proc_scan_source.h"

namespace PortCore {

ScanSource& systemScanSource() {
  static ProcScanSource source;
  return source;
}

}  // namespace PortCore
