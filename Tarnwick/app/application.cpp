#include "app/modes.h"
#include "core/system/program_paths.h"
#include "core/system/terminal_text.h"
#include "integrations/display_platform.h"

#include <cstdio>
#include <dlfcn.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using RunApplication = int (*)(int, char**);

// The tray application lives in a shared library of its own, so that the
// command-line modes start without loading Qt. It lies beside the executable
// in the build tree, in <exe dir>/../lib/tarnwick/ in an installed one.
std::vector<std::string> qtModuleCandidates(const std::string& executableDirectory) {
  const std::string name = "libtarnwick_qt.so";
  return {executableDirectory + "/" + name, executableDirectory + "/../lib/tarnwick/" + name};
}

// The first candidate that exists is the one loaded: a module that is present
// but broken is reported, not skipped in favour of an older installed one.
void* openQtModule(std::string& tried, std::string& failure) {
  for (const auto& path : qtModuleCandidates(PortCore::executableDirectory())) {
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
  const DisplayEnvironment display = DisplayEnvironment::current();
  if (display.x11Display.empty() && display.waylandDisplay.empty()) {
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
  // Qt reads "-platform" before QT_QPA_PLATFORM. Asked on the command line, the
  // choice stays ours: the environment, which every program we start inherits
  // (browser, editor, a restarted server), is left as the user gave it.
  std::vector<char*> qtArgs(argv, argv + argc);
  std::string option = "-platform", platform;
  if (auto chosen = chosenPlatform(display); chosen && !qtArgs.empty()) {
    platform = *chosen;
    qtArgs.insert(qtArgs.begin() + 1, {option.data(), platform.data()});
  }
  const int qtArgc = static_cast<int>(qtArgs.size());
  qtArgs.push_back(nullptr);
  return run(qtArgc, qtArgs.data());
}
