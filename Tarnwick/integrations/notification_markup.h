#pragma once
// Notification servers that advertise "body-markup" read a body as a small
// subset of XML markup; a body that holds other people's text must then reach
// them escaped, or a tag in a process name or label is obeyed.
#include <string>
#include <string_view>

namespace Notifications {

/// `text` with "&", "<" and ">" written as entities, so that such a server
/// shows it as written.
std::string escapedForMarkup(std::string_view text);

}  // namespace Notifications
