#include "core/shell_command.h"

#include "core/text.h"

#include <vector>

namespace PortCore {

namespace {

bool isPlainWordCharacter(char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  switch (c) {
    case '@': case '%': case '+': case '=': case ':': case ',': case '.': case '/':
    case '-': case '_':
      return true;
    default:
      return false;
  }
}

bool needsQuotes(std::string_view arg) {
  if (arg.empty()) return true;
  // zsh expands a word that begins with "=" to a command's path.
  if (arg.front() == '=') return true;
  for (char c : arg)
    if (!isPlainWordCharacter(c)) return true;
  return false;
}

std::vector<std::string_view> splitAtNul(std::string_view raw) {
  std::vector<std::string_view> args;
  while (!raw.empty()) {
    auto end = raw.find('\0');
    args.push_back(raw.substr(0, end));
    raw.remove_prefix(end == std::string_view::npos ? raw.size() : end + 1);
  }
  return args;
}

}  // namespace

std::string shellQuote(std::string_view arg) {
  if (!needsQuotes(arg)) return std::string(arg);
  std::string quoted = "'";
  for (char c : arg) {
    if (c == '\'')
      quoted += "'\\''";
    else
      quoted += c;
  }
  quoted += '\'';
  return quoted;
}

std::optional<std::string> shellCommandFromCmdline(std::string_view raw) {
  // A rewritten title is padded with NULs up to the old length of the
  // arguments; the padding is no argument.
  auto last = raw.find_last_not_of('\0');
  if (last == std::string_view::npos) return std::nullopt;
  raw = raw.substr(0, last + 1);
  auto args = splitAtNul(raw);
  if (args.size() == 1 && args.front().find(' ') != std::string_view::npos) {
    auto title = trimWhitespace(args.front());
    if (title.empty()) return std::nullopt;
    return std::string(title);
  }
  std::string command;
  for (auto arg : args) {
    if (!command.empty()) command += ' ';
    command += shellQuote(arg);
  }
  return command;
}

}  // namespace PortCore
