#include "app/modes.h"
#include "app/qt_module.h"
#include "core/system/terminal_text.h"

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <string>
#include <unistd.h>

namespace {

using RunApplication = int (*)(int, char**);

bool hasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

// The first candidate that exists is the one loaded: a module that is present
// but broken is reported, not skipped in favour of an older installed one.
void* openQtModule(std::string& tried, std::string& failure) {
  for (const auto& path : qtModuleCandidates(executableDirectory())) {
    if (!tried.empty()) tried += ", ";
    tried += path;
    if (::access(path.c_str(), F_OK) != 0) continue;
    if (void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) return module;
    const char* error = ::dlerror();
    failure = error ? error : path;
    return nullptr;
  }
  failure = "no such file";
  return nullptr;
}

}  // namespace

int runApplication(int argc, char** argv) {
  if (!hasDisplay()) {
    std::fprintf(stderr, "tarnwick: no display to show the tray on (neither DISPLAY nor WAYLAND_DISPLAY is set)\n");
    return 1;
  }
  std::string tried, failure;
  void* module = openQtModule(tried, failure);
  if (!module) {
    // The paths are where the executable was put, which its owner named.
    std::fprintf(stderr, "tarnwick: cannot load the tray module (tried %s): %s\n",
                 PortCore::terminalText(tried).c_str(), PortCore::terminalText(failure).c_str());
    return 1;
  }
  auto run = reinterpret_cast<RunApplication>(::dlsym(module, "tarnwick_run_application"));
  if (!run) {
    const char* error = ::dlerror();
    std::fprintf(stderr, "tarnwick: the tray module has no entry point: %s\n",
                 PortCore::terminalText(error ? error : "").c_str());
    return 1;
  }
  return run(argc, argv);
}
