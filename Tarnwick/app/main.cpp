#include "app/dispatch.h"
#include "app/modes.h"

#include <string>
#include <vector>

int main(int argc, char** argv) {
  std::vector<std::string> args(argv, argv + argc);
  Choice choice = selectMode(args, commandLineModes());
  if (auto* selection = std::get_if<Selection>(&choice)) return selection->mode->run(selection->value);
  if (auto* error = std::get_if<UsageError>(&choice)) return reportUsageError(*error);
  return runApplication(argc, argv);
}
