#include "integrations/notification_text.h"

namespace Notifications {

std::string escapedForMarkup(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '&')
      out += "&amp;";
    else if (c == '<')
      out += "&lt;";
    else if (c == '>')
      out += "&gt;";
    else
      out += c;
  }
  return out;
}

}  // namespace Notifications

namespace Osascript {

namespace {
std::string quoted(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    // A lone trailing backslash would otherwise swallow the closing quote.
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  out += '"';
  return out;
}
}  // namespace

std::string notificationScript(std::string_view body, std::string_view title) {
  return "display notification " + quoted(body) + " with title " + quoted(title);
}

}  // namespace Osascript
