// Our UTF-8 decoder against glibc's under C.UTF-8, held to Unicode's range
// (glibc still takes the old reach past U+10FFFF). The encoder is held to
// glibc's by the strings table's \U escapes.
#include "core/system/text.h"
#include "support/property.h"

#include <clocale>
#include <cwchar>

namespace {

// The length of the sequence at the start of `bytes`; 0 when none valid starts there.
size_t glibcLength(std::string_view bytes) {
  locale_t utf8 = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
  locale_t before = ::uselocale(utf8);
  std::mbstate_t state{};
  wchar_t code = 0;
  size_t length = std::mbrtowc(&code, bytes.data(), bytes.size(), &state);
  ::uselocale(before);
  ::freelocale(utf8);
  if (length == 0) return 1;  // NUL
  return length > 4 || static_cast<char32_t>(code) > 0x10FFFF ? 0 : length;
}

// A code of up to 21 bits written in `length` bytes by the UTF-8 bit layout,
// whether or not that length is the shortest (overlong forms, surrogates and
// codes past U+10FFFF come out too), then possibly cut short.
rc::Gen<std::string> utf8ishPiece() {
  return rc::gen::oneOf(
      rc::gen::map(rc::gen::arbitrary<char>(), [](char c) { return std::string(1, c); }),
      rc::gen::apply(
          [](uint32_t code, int length, int keep) {
            std::string out(1, static_cast<char>(length == 1 ? code & 0x7F
                                                              : ((0xFF00 >> length) & 0xFF) |
                                                                    (code >> (6 * (length - 1)) & (0x7F >> length))));
            for (int k = length - 2; k >= 0; --k) out += static_cast<char>(0x80 | ((code >> (6 * k)) & 0x3F));
            out.resize(static_cast<size_t>(std::min(keep, length)));
            return out;
          },
          rc::gen::inRange<uint32_t>(0, 0x200000), rc::gen::inRange(1, 5), rc::gen::inRange(1, 8)));
}

rc::Gen<std::string> utf8ishText() {
  return rc::gen::map(rc::gen::container<std::vector<std::string>>(utf8ishPiece()), [](const auto& pieces) {
    std::string text;
    for (const auto& piece : pieces) text += piece;
    return text;
  });
}

TEST(Utf8, LossyDecodingReplacesEachByteGlibcRefuses) {
  checkProperty([] {
    const std::string bytes = *utf8ishText();
    std::string expected;
    for (std::string_view rest = bytes; !rest.empty();) {
      const size_t length = glibcLength(rest);
      expected += length ? std::string(rest.substr(0, length)) : "\xEF\xBF\xBD";
      rest.remove_prefix(length ? length : 1);
    }
    RC_ASSERT(PortCore::decodeUtf8Lossy(bytes) == expected);
  });
}

}  // namespace
