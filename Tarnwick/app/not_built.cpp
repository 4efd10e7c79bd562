#include "app/modes.h"

#include <cstdio>

int reportNotBuilt(const char* what) {
  std::fprintf(stderr, "tarnwick: this build does not have %s yet\n", what);
  return 2;
}
