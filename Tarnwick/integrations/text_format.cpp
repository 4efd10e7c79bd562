#include "integrations/text_format.h"

#include "core/system/number.h"

#include <cstdint>
#include <optional>

namespace L10n {

using PortCore::isDigit;

namespace {

enum class Conversion { Object, Text, Signed, Unsigned, Unknown };

struct Placeholder {
  std::optional<size_t> position;  // from 1; absent: the next in order
  Conversion conversion = Conversion::Unknown;
};

// Bytes in the UTF-8 sequence led by `lead`, so that an unknown conversion
// never cuts a character in two.
size_t sequenceLength(unsigned char lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

bool isContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

Conversion conversionOf(char c) {
  switch (c) {
    case '@': return Conversion::Object;
    case 's': return Conversion::Text;
    case 'd':
    case 'i': return Conversion::Signed;
    case 'u': return Conversion::Unsigned;
    default: return Conversion::Unknown;
  }
}

class Parser {
 public:
  explicit Parser(std::string_view format) : format_(format) {}

  // Reads the placeholder that starts after a '%' at pos_. A position too
  // large to count counts as out of range.
  Placeholder placeholder() {
    Placeholder result;
    size_t start = pos_;
    auto number = digits();
    if (number && peek('$')) {
      ++pos_;
      result.position = *number;
    } else {
      pos_ = start;
    }
    bool decorated = skipFlagsWidthPrecision();
    skipLengthModifiers();
    skipConversion(result);
    if (decorated) result.conversion = Conversion::Unknown;
    return result;
  }

  bool atEnd() const { return pos_ >= format_.size(); }
  char next() { return format_[pos_++]; }
  bool peek(char c) const { return pos_ < format_.size() && format_[pos_] == c; }

 private:
  std::optional<size_t> digits() {
    size_t start = pos_;
    size_t number = 0;
    while (pos_ < format_.size() && isDigit(format_[pos_])) {
      number = number > 1'000'000 ? SIZE_MAX : number * 10 + (format_[pos_] - '0');
      ++pos_;
    }
    if (pos_ == start) return std::nullopt;
    return number;
  }

  // Flags, width and precision are not supported; true when any is present.
  bool skipFlagsWidthPrecision() {
    size_t start = pos_;
    while (pos_ < format_.size() && std::string_view("-+ #0'").find(format_[pos_]) != std::string_view::npos) ++pos_;
    if (!peek('*')) digits(); else ++pos_;
    if (peek('.')) {
      ++pos_;
      if (!peek('*')) digits(); else ++pos_;
    }
    return pos_ != start;
  }

  void skipLengthModifiers() {
    while (pos_ < format_.size()) {
      char c = format_[pos_];
      if (c != 'l' && c != 'q' && c != 'h' && c != 'z' && c != 'j' && c != 't') return;
      ++pos_;
    }
  }

  void skipConversion(Placeholder& result) {
    if (atEnd()) return;
    auto lead = static_cast<unsigned char>(format_[pos_]);
    result.conversion = conversionOf(format_[pos_]);
    size_t end = pos_ + sequenceLength(lead);
    for (++pos_; pos_ < end && pos_ < format_.size() && isContinuation(format_[pos_]);) ++pos_;
  }

  std::string_view format_;
  size_t pos_ = 0;
};

std::string render(Conversion conversion, const FormatArg& arg) {
  const auto* text = std::get_if<std::string>(&arg);
  const auto* number = std::get_if<int64_t>(&arg);
  switch (conversion) {
    case Conversion::Object: return text ? *text : std::to_string(*number);
    case Conversion::Text: return text ? *text : std::string();
    case Conversion::Signed: return number ? std::to_string(*number) : std::string();
    case Conversion::Unsigned:
      return number ? std::to_string(static_cast<uint64_t>(*number)) : std::string();
    case Conversion::Unknown: return {};
  }
  return {};
}

}  // namespace

std::string formatText(std::string_view format, const std::vector<FormatArg>& args) {
  std::string out;
  Parser parser(format);
  size_t nextInOrder = 1;
  while (!parser.atEnd()) {
    char c = parser.next();
    if (c != '%') {
      out += c;
      continue;
    }
    if (parser.peek('%')) {
      parser.next();
      out += '%';
      continue;
    }
    Placeholder placeholder = parser.placeholder();
    size_t position = placeholder.position.value_or(nextInOrder);
    if (!placeholder.position) ++nextInOrder;
    if (position >= 1 && position <= args.size()) out += render(placeholder.conversion, args[position - 1]);
  }
  return out;
}

}  // namespace L10n
