#include "ui/localized.h"

#include "integrations/l10n.h"

QString localized(const std::string& key) { return QString::fromStdString(L10n::text(key)); }
