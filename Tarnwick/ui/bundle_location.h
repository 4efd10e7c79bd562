#pragma once
// Files of the resource bundle (the one localisation located).
#include <QString>

/// The path of `name` inside the resource bundle; empty when it has none.
QString bundleResourcePath(const QString& name);
