// Any bytes as a format, with texts and integers for arguments: formatting
// must never read past its arguments or the format.
#include "integrations/text_format.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view format(reinterpret_cast<const char*>(data), size);
  for (size_t count = 0; count < 3; ++count) {
    std::vector<FormatArg> args;
    for (size_t i = 0; i < count; ++i) args.push_back(i % 2 ? FormatArg{int64_t{-7}} : FormatArg{std::string("x")});
    (void)L10n::formatText(format, args);
  }
  return 0;
}
