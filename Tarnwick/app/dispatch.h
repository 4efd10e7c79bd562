#pragma once
// The command line: which mode runs, and with which value. Options are examined
// in the order of the table; the first that applies wins.
#include <cstdint>
#include <optional>
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
};

/// The modes in dispatch order.
std::span<const Mode> commandLineModes();

struct Selection {
  const Mode* mode;
  ModeValue value;
};

/// The first mode of `modes` that applies to `args` (argument 0 included), or
/// absent when none does and the application should start. An option whose
/// value is missing or invalid counts as absent.
std::optional<Selection> selectMode(const std::vector<std::string>& args,
                                    std::span<const Mode> modes);
