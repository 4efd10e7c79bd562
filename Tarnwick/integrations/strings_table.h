#pragma once
// The strings-table format of the resource bundle's language directories:
//   /* comment */  // comment
//   "key" = "value";
// with the escapes \" \\ \n \t \r and \UXXXX (UTF-16 code units, surrogate
// pairs joined) inside quotes.
#include <map>
#include <string>
#include <string_view>

namespace L10n {

using StringsTable = std::map<std::string, std::string>;

/// The key-text pairs of `source` (UTF-8, an optional byte-order mark). An
/// entry that does not fit the format (unknown escape, unterminated text, a
/// raw line break inside quotes, a missing "=" or ";") is skipped from its
/// first line on, and parsing goes on with the next line. A later entry for
/// the same key wins. Invalid UTF-8 becomes U+FFFD.
StringsTable parseStringsTable(std::string_view source);

}  // namespace L10n
