set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TARNWICK_ZIG_TARGET x86_64-macos)
include(${CMAKE_CURRENT_LIST_DIR}/macos-toolchain.cmake)
