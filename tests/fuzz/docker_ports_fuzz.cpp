// docker ps output from anywhere: parsing must never crash or read out of bounds.
#include "integrations/docker.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Docker::parseContainerPorts(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
