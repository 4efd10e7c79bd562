#pragma once
// The panel's words in the chosen language, as Qt strings.
#include "integrations/l10n.h"

#include <QString>
#include <string>

/// texts.text(key) as a QString.
QString localized(const L10n::Texts& texts, const std::string& key);
