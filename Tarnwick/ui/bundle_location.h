#pragma once
// Files of the resource bundle, found beside the executable. Localisation
// looks the bundle up the same way; the two meet in one lookup at merge.
#include <QString>

/// The path of `name` inside Tarnwick_Tarnwick.bundle beside the running
/// executable, or in `<exe dir>/../share/tarnwick/`; empty when neither has it.
QString bundleResourcePath(const QString& name);
