// Placeholder until localisation lands: every key shows as itself.
#include "integrations/l10n.h"

namespace L10n {
std::string text(const std::string& key) { return key; }
std::string format(const std::string& key, const std::vector<FormatArg>&) { return key; }
}  // namespace L10n
