#pragma once
// A notification's texts as each way of showing one reads them. Servers that
// advertise "body-markup" read a body as a small subset of XML markup, and
// AppleScript reads string literals: a body that holds other people's text
// must reach them escaped, or a tag or quote in a process name is obeyed.
#include <string>
#include <string_view>

namespace Notifications {

/// `text` with "&", "<" and ">" written as entities, so that such a server
/// shows it as written.
std::string escapedForMarkup(std::string_view text);

}  // namespace Notifications

namespace Osascript {

/// `display notification "BODY" with title "TITLE"`, with backslashes and
/// double quotes in both texts escaped for an AppleScript string literal (the
/// notification shown outside the installed application).
std::string notificationScript(std::string_view body, std::string_view title);

}  // namespace Osascript
