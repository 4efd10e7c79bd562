#include "integrations/strings_table.h"

#include "core/system/text.h"

#include <optional>

namespace L10n {

namespace {

std::optional<unsigned> hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return std::nullopt;
}

bool isHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// A cursor over the source. Every read that fails leaves the caller to skip
// the entry; nothing here throws.
class Reader {
 public:
  explicit Reader(std::string_view source) : source_(source) {}

  bool atEnd() const { return pos_ >= source_.size(); }
  size_t position() const { return pos_; }

  // Skips white space and comments. An unterminated block comment runs to
  // the end of the source, as a compiler would read it.
  void skipBlank() {
    while (!atEnd()) {
      char c = source_[pos_];
      if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
        ++pos_;
      } else if (source_.substr(pos_, 2) == "//") {
        size_t end = source_.find('\n', pos_);
        pos_ = end == std::string_view::npos ? source_.size() : end + 1;
      } else if (source_.substr(pos_, 2) == "/*") {
        size_t end = source_.find("*/", pos_ + 2);
        pos_ = end == std::string_view::npos ? source_.size() : end + 2;
      } else {
        return;
      }
    }
  }

  bool take(char expected) {
    skipBlank();
    if (atEnd() || source_[pos_] != expected) return false;
    ++pos_;
    return true;
  }

  std::optional<std::string> quoted() {
    if (!take('"')) return std::nullopt;
    std::string out;
    while (!atEnd()) {
      char c = source_[pos_++];
      if (c == '"') return out;
      if (c == '\n') return std::nullopt;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (!escape(out)) return std::nullopt;
    }
    return std::nullopt;
  }

  // Moves to the start of the line after the one holding `from`.
  void resumeAfterLineOf(size_t from) {
    size_t end = source_.find('\n', from);
    pos_ = end == std::string_view::npos ? source_.size() : end + 1;
  }

 private:
  bool escape(std::string& out) {
    if (atEnd()) return false;
    char c = source_[pos_++];
    switch (c) {
      case '"': out += '"'; return true;
      case '\\': out += '\\'; return true;
      case 'n': out += '\n'; return true;
      case 't': out += '\t'; return true;
      case 'r': out += '\r'; return true;
      case 'U':
      case 'u': return unicodeEscape(out);
      default: return false;
    }
  }

  std::optional<char32_t> codeUnit() {
    if (source_.size() - pos_ < 4) return std::nullopt;
    char32_t unit = 0;
    for (int i = 0; i < 4; ++i) {
      auto digit = hexValue(source_[pos_ + i]);
      if (!digit) return std::nullopt;
      unit = unit * 16 + *digit;
    }
    pos_ += 4;
    return unit;
  }

  // \UXXXX names a UTF-16 code unit; a high surrogate must be followed by
  // \UXXXX naming its low half. NUL and lone surrogates do not fit.
  bool unicodeEscape(std::string& out) {
    auto unit = codeUnit();
    if (!unit || *unit == 0 || isLowSurrogate(*unit)) return false;
    if (!isHighSurrogate(*unit)) {
      PortCore::appendUtf8(out, *unit);
      return true;
    }
    if (source_.substr(pos_, 2) != "\\U" && source_.substr(pos_, 2) != "\\u") return false;
    pos_ += 2;
    auto low = codeUnit();
    if (!low || !isLowSurrogate(*low)) return false;
    PortCore::appendUtf8(out, 0x10000 + ((*unit - 0xD800) << 10) + (*low - 0xDC00));
    return true;
  }

  std::string_view source_;
  size_t pos_ = 0;
};

}  // namespace

StringsTable parseStringsTable(std::string_view source) {
  if (source.substr(0, 3) == "\xEF\xBB\xBF") source.remove_prefix(3);
  std::string text = PortCore::decodeUtf8Lossy(source);
  Reader reader(text);
  StringsTable table;
  for (reader.skipBlank(); !reader.atEnd(); reader.skipBlank()) {
    size_t start = reader.position();
    auto key = reader.quoted();
    bool ok = key && reader.take('=');
    auto value = ok ? reader.quoted() : std::nullopt;
    if (value && reader.take(';')) {
      table[*key] = std::move(*value);
    } else {
      reader.resumeAfterLineOf(start);
    }
  }
  return table;
}

}  // namespace L10n
