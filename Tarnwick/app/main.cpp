#include "app/dispatch.h"
#include "app/modes.h"

#include <string>
#include <vector>

int main(int argc, char** argv) {
  std::vector<std::string> args(argv, argv + argc);
  if (auto selection = selectMode(args, commandLineModes()))
    return selection->mode->run(selection->value);
  return runApplication(argc, argv);
}
