// Stands in for the tray module: it shows the arguments it was handed, one a
// line, so a test sees what the executable passes on to the toolkit.
#include <cstdio>

extern "C" __attribute__((visibility("default"))) int tarnwick_run_application(int argc, char** argv) {
  for (int i = 0; i < argc; ++i) std::printf("%s\n", argv[i]);
  return 7;
}
