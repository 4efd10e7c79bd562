#pragma once
// The store's layout in an INI file, which holds every value as text: each
// type has its own section, so that the text "3" stays a text and a number
// never reads back as one.
//
//   [boolean]
//   confirmBeforeKill=true
//   [number]
//   refreshInterval=3
//   [text]
//   appLanguage=tr
#include "integrations/preferences.h"

#include <QSettings>
#include <functional>
#include <memory>
#include <optional>
#include <string>

/// A store on the INI files that `open` opens, one QSettings per call. Changes
/// made to the file from outside reach the observers on the creating thread,
/// while its event loop runs.
std::shared_ptr<Preferences> makeIniPreferences(std::function<std::unique_ptr<QSettings>()> open);

/// A number as the store writes it: the shortest text that reads back exactly.
std::string formatStoredNumber(double value);
/// A number read back strictly: an optional sign, digits with an optional
/// fraction and exponent, finite; absent for anything else ("abc", "1x",
/// " 1", "inf", "0x10", "").
std::optional<double> parseStoredNumber(const std::string& text);
/// "true" or "false" exactly; absent for anything else.
std::optional<bool> parseStoredBoolean(const std::string& text);
