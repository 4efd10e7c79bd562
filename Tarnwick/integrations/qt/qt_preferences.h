#pragma once
// The per-user preferences store on QSettings. On Linux it is the file
// $XDG_CONFIG_HOME/tarnwick/tarnwick.conf (~/.config unless set); on macOS the
// com.ulmarsh.tarnwick defaults domain.
#include "integrations/preferences.h"

#include <QString>
#include <memory>

/// The user's store. Safe from any thread. Every write reaches the disk before
/// it returns, by replacing the file whole, so a crash leaves the old file or
/// the new one. Reads see other processes' writes; on Linux the observers hear
/// of them while the creating thread's event loop runs. A value that is unreadable
/// or of another type (a number stored as "abc") reads as absent; a key that is
/// empty or holds "/" or "\" is never stored.
std::shared_ptr<Preferences> makeQtPreferences();

/// The same store kept in the INI file at `path`.
std::shared_ptr<Preferences> makeQtPreferences(const QString& path);
