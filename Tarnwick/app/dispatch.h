#pragma once
// The command line: which mode runs, and with which value. Options are examined
// in the order of the table; the first that applies wins.
#include <cstdint>
#include <span>
#include <string>
#include <variant>
#include <vector>

enum class OptionKind {
  Flag,        ///< counts anywhere in the argument vector
  PortNumber,  ///< the first occurrence, followed by a valid 64-bit number
  Text,        ///< the first occurrence, followed by any argument
};

using ModeValue = std::variant<std::monostate, int64_t, std::string>;

struct Mode {
  const char* option;
  OptionKind kind;
  int (*run)(const ModeValue& value);
  const char* valueName;  ///< as --help shows it ("PORT"); nullptr for a flag
  const char* summary;    ///< what it does, one line for --help
};

/// The modes in dispatch order; --help and --version come last, so that they
/// never displace a mode.
std::span<const Mode> commandLineModes();

struct Selection {
  const Mode* mode;
  ModeValue value;
};
/// No mode applies and a valued option was given without a usable value:
/// one line for standard error, without the program's name, the value in it
/// quoted and escaped for a terminal.
struct UsageError {
  std::string message;
};
/// Nothing for us: the tray application starts (the desktop may pass its own arguments).
struct StartApplication {};

using Choice = std::variant<Selection, UsageError, StartApplication>;

/// The first mode of `modes` that applies to `args` (argument 0 included). When
/// none does, the earliest valued option in `args` whose value is missing or
/// invalid makes a UsageError; without one the application starts.
Choice selectMode(const std::vector<std::string>& args, std::span<const Mode> modes);
