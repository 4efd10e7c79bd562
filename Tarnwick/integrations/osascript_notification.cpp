#include "integrations/osascript_notification.h"

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
