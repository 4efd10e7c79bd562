#pragma once
// The panel's words in the chosen language, and the files of the resource
// bundle (the one localisation located), as Qt strings.
#include "integrations/l10n.h"

#include <QString>
#include <string>

/// texts.text(key) as a QString.
QString localized(const L10n::Texts& texts, const std::string& key);

/// The path of `name` inside the resource bundle; empty when it has none.
QString bundleResourcePath(const QString& name);
