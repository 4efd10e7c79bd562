#include "core/command_text.h"

#include <cstdio>

namespace PortCore {

namespace {

// Length of the valid UTF-8 sequence starting at name[i] for a code point
// from U+00A0 up (C1 controls count as invalid), or 0.
size_t printableSequence(std::string_view name, size_t i) {
  auto byte = [&](size_t k) { return static_cast<unsigned char>(name[k]); };
  unsigned char lead = byte(i);
  size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
  if (lead >= 0xF5) length = 0;
  if (length == 0 || i + length > name.size()) return 0;
  uint32_t point = lead & (0xFF >> (length + 1));
  for (size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    point = (point << 6) | (byte(i + k) & 0x3F);
  }
  static const uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (point < smallest[length] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) return 0;
  return point >= 0xA0 ? length : 0;
}

bool validUtf8(std::string_view name) {
  for (size_t i = 0; i < name.size();) {
    auto c = static_cast<unsigned char>(name[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    size_t length = printableSequence(name, i);
    if (length == 0) {
      // C1 controls are still valid UTF-8.
      if (c == 0xC2 && i + 1 < name.size() && (static_cast<unsigned char>(name[i + 1]) & 0xE0) == 0x80) {
        i += 2;
        continue;
      }
      return false;
    }
    i += length;
  }
  return true;
}

}  // namespace

std::string lsofText(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  for (size_t i = 0; i < name.size();) {
    auto c = static_cast<unsigned char>(name[i]);
    if (c >= 0x80) {
      if (size_t length = printableSequence(name, i)) {
        out.append(name.substr(i, length));
        i += length;
        continue;
      }
    }
    ++i;
    switch (c) {
      case '\b': out += "\\b"; continue;
      case '\f': out += "\\f"; continue;
      case '\n': out += "\\n"; continue;
      case '\r': out += "\\r"; continue;
      case '\t': out += "\\t"; continue;
      case '\\': out += "\\\\"; continue;
      default: break;
    }
    if (c < 0x20) {
      out += '^';
      out += static_cast<char>(c + 0x40);
    } else if (c >= 0x7F) {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string psText(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  if (validUtf8(name)) {
    for (size_t i = 0; i < name.size();) {
      auto c = static_cast<unsigned char>(name[i]);
      if (size_t length = c >= 0x80 ? printableSequence(name, i) : 0) {
        out.append(name.substr(i, length));
        i += length;
        continue;
      }
      out += c < 0x20 || c == 0x7F || c >= 0x80 ? '?' : static_cast<char>(c);
      i += c >= 0x80 ? 2 : 1;  // a C1 control is two bytes
    }
    return out;
  }
  for (char ch : name) {
    auto c = static_cast<unsigned char>(ch);
    out += c >= 0x80 ? '?' : c < 0x20 || c == 0x7F ? '.' : ch;
  }
  return out;
}

}  // namespace PortCore
