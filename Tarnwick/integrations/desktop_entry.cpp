#include "integrations/desktop_entry.h"

#include "core/system/text.h"

#include <utility>

namespace DesktopEntry {

namespace {

std::string unescapeValue(std::string_view raw) {
  std::string out;
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != '\\' || i + 1 == raw.size()) {
      out += raw[i];
      continue;
    }
    switch (raw[++i]) {
      case 's': out += ' '; break;
      case 'n': out += '\n'; break;
      case 't': out += '\t'; break;
      case 'r': out += '\r'; break;
      case '\\': out += '\\'; break;
      default: out += '\\'; out += raw[i]; break;  // left for the Exec quoting
    }
  }
  return out;
}

bool isGroupHeader(std::string_view line) { return !line.empty() && line.front() == '['; }

// Splits at unquoted blanks; inside double quotes a backslash escapes " ` $ \.
std::optional<std::vector<std::string>> splitExec(std::string_view exec) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false, quoted = false;
  for (size_t i = 0; i < exec.size(); ++i) {
    char c = exec[i];
    if (quoted) {
      if (c == '"') {
        quoted = false;
      } else if (c == '\\' && i + 1 < exec.size() && std::string_view("\"`$\\").find(exec[i + 1]) != std::string_view::npos) {
        word += exec[++i];
      } else {
        word += c;
      }
    } else if (c == ' ' || c == '\t' || c == '\n') {
      if (inWord) words.push_back(std::exchange(word, {}));
      inWord = false;
    } else {
      inWord = true;
      if (c == '"') quoted = true; else word += c;
    }
  }
  if (quoted) return std::nullopt;
  if (inWord) words.push_back(word);
  return words;
}

bool isFileFieldCode(std::string_view word) {
  return word == "%f" || word == "%F" || word == "%u" || word == "%U";
}

// %% becomes %, any other %x is a field code with nothing to give.
std::string withoutFieldCodes(std::string_view word) {
  std::string out;
  for (size_t i = 0; i < word.size(); ++i) {
    if (word[i] != '%') {
      out += word[i];
    } else if (i + 1 < word.size()) {
      if (word[++i] == '%') out += '%';
    }
  }
  return out;
}

}  // namespace

std::optional<std::string> value(std::string_view fileText, std::string_view key) {
  bool inMainGroup = false;
  for (auto line : PortCore::splitLines(fileText)) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (isGroupHeader(line)) {
      inMainGroup = line == "[Desktop Entry]";
      continue;
    }
    if (!inMainGroup || line.front() == '#') continue;
    auto equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    if (PortCore::trimWhitespace(line.substr(0, equals)) != key) continue;
    return unescapeValue(PortCore::trimWhitespace(line.substr(equals + 1)));
  }
  return std::nullopt;
}

std::string escapeValue(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      default: out += c; break;
    }
  }
  // A leading space would be trimmed away by readers.
  if (!out.empty() && out.front() == ' ') out.replace(0, 1, "\\s");
  return out;
}

std::string quoteExecArgument(std::string_view argument) {
  std::string out = "\"";
  for (char c : argument) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
    if (c == '%') out += '%';
    out += c;
  }
  out += '"';
  return out;
}

std::vector<std::string> execCommand(std::string_view exec, const std::string& target) {
  auto words = splitExec(exec);
  if (!words || words->empty()) return {};
  std::vector<std::string> command;
  bool targetPlaced = false;
  for (const auto& word : *words) {
    if (isFileFieldCode(word)) {
      if (!targetPlaced) command.push_back(target);
      targetPlaced = true;
    } else if (auto plain = withoutFieldCodes(word); !plain.empty() || word.empty()) {
      command.push_back(plain);
    }
  }
  if (!targetPlaced) command.push_back(target);
  return command;
}

}  // namespace DesktopEntry
