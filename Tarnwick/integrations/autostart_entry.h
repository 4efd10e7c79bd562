#pragma once
// Start at login through an XDG autostart entry: on exactly when the file exists.
#include <string>

namespace AutostartEntry {

/// $XDG_CONFIG_HOME (else home/.config) joined with autostart/com.ulmarsh.tarnwick.desktop.
/// An XDG_CONFIG_HOME that is not absolute is ignored, as the XDG rules ask.
std::string path(const std::string& xdgConfigHome, const std::string& home);

bool exists(const std::string& entryPath);
/// Writes the entry for `binaryPath` atomically (writeFileAtomically), creating
/// the directory; false when it could not be written.
bool write(const std::string& entryPath, const std::string& binaryPath);
void remove(const std::string& entryPath);

}  // namespace AutostartEntry
