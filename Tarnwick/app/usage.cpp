#include "app/modes.h"

#include <cstdio>
#include <string>

int runHelpMode(const ModeValue&) {
  std::printf("usage: tarnwick [OPTION]\n"
              "Without an option, starts the tray application. With one, does this and exits:\n");
  for (const Mode& mode : commandLineModes()) {
    std::string option = mode.option;
    if (mode.valueName) option += std::string(" ") + mode.valueName;
    std::printf("  %-18s %s\n", option.c_str(), mode.summary);
  }
  return 0;
}

int runVersionMode(const ModeValue&) {
  std::printf("tarnwick %s\n", TARNWICK_VERSION);
  return 0;
}

int reportUsageError(const UsageError& error) {
  std::fprintf(stderr, "tarnwick: %s\n", error.message.c_str());
  return 2;
}
