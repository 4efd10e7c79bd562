#pragma once
// The panel's words in the chosen language, as Qt strings.
#include <QString>
#include <string>

/// L10n::text(key) as a QString.
QString localized(const std::string& key);
