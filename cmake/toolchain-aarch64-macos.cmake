set(CMAKE_SYSTEM_PROCESSOR arm64)
set(TARNWICK_ZIG_TARGET aarch64-macos)
include(${CMAKE_CURRENT_LIST_DIR}/macos-toolchain.cmake)
