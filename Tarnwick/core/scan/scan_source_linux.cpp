#include "core/scan/proc_scan_source.h"

namespace PortCore {

std::unique_ptr<ScanSource> makeSystemScanSource() { return std::make_unique<ProcScanSource>(); }

}  // namespace PortCore
