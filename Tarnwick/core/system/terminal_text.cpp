#include "core/system/terminal_text.h"

#include "core/system/text.h"

#include <cstdio>

namespace PortCore {

namespace {

// C1 controls start sequences of their own on terminals that read them (U+009B
// is CSI); the embeddings, overrides and isolates reorder the rest of the line,
// and the separators break it.
bool drivesTerminal(char32_t code) {
  return code < 0x20 || (code >= 0x7F && code <= 0x9F) || (code >= 0x202A && code <= 0x202E) ||
         (code >= 0x2066 && code <= 0x2069) || code == 0x2028 || code == 0x2029;
}

void appendByteEscape(std::string& out, unsigned char byte) {
  char escape[5];
  std::snprintf(escape, sizeof escape, "\\x%02x", byte);
  out += escape;
}

void appendCodeEscape(std::string& out, char32_t code) {
  char escape[7];
  std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(code));
  out += escape;
}

}  // namespace

std::string terminalText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    size_t length = validUtf8Length(text);
    char32_t code = length ? codePointOf(text, length) : 0;
    if (length == 0) {
      appendByteEscape(out, static_cast<unsigned char>(text.front()));
      length = 1;
    } else if (code == U'\\') {
      out += "\\\\";
    } else if (drivesTerminal(code)) {
      code < 0x80 ? appendByteEscape(out, static_cast<unsigned char>(code)) : appendCodeEscape(out, code);
    } else {
      out.append(text.substr(0, length));
    }
    text.remove_prefix(length);
  }
  return out;
}

}  // namespace PortCore
