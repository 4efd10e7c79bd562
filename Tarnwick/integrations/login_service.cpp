#include "integrations/login_service.h"

#include <mutex>

namespace LoginItem {

namespace {

// Installed once by the Qt module, read from the panel's worker threads.
std::mutex mutex;
std::shared_ptr<LoginService>& installed() {
  static std::shared_ptr<LoginService> service;
  return service;
}

}  // namespace

std::shared_ptr<LoginService> service() {
  std::lock_guard lock(mutex);
  return installed();
}

void installService(std::shared_ptr<LoginService> service) {
  std::lock_guard lock(mutex);
  installed() = std::move(service);
}

}  // namespace LoginItem
