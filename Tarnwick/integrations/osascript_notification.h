#pragma once
// The AppleScript that shows a notification outside the installed application.
#include <string>
#include <string_view>

namespace Osascript {

/// `display notification "BODY" with title "TITLE"`, with backslashes and
/// double quotes in both texts escaped for an AppleScript string literal.
std::string notificationScript(std::string_view body, std::string_view title);

}  // namespace Osascript
