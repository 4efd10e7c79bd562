#pragma once
// Text from other processes (process names, paths, container names) as it is
// written to a terminal: shown, never obeyed.
#include <string>
#include <string_view>

namespace PortCore {

/// `text` with everything that could drive a terminal or reorder what follows
/// it made visible: C0 controls, DEL and bytes that are not UTF-8 become
/// `\x1b`-style escapes (one per byte); C1 controls and the bidirectional and
/// line-separator code points become `\u202e`-style escapes. A backslash is
/// written `\\`, so that the result reads back one way only. Everything else,
/// multibyte UTF-8 included, is kept as it is.
std::string terminalText(std::string_view text);

}  // namespace PortCore
