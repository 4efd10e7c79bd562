# Cross build for macOS with the project's Zig (tools/zig, installed by
# scripts/bootstrap). Included by toolchain-<target>.cmake, which names the
# Zig target. Zig brings macOS's C headers, a libc++ and the libSystem stubs;
# Apple's frameworks are not among them.
set(CMAKE_SYSTEM_NAME Darwin)
set(CMAKE_SYSTEM_VERSION 20)  # macOS 11
set(tarnwick_zig ${CMAKE_CURRENT_LIST_DIR}/zig)
set(CMAKE_C_COMPILER ${tarnwick_zig}/${TARNWICK_ZIG_TARGET}-cc)
set(CMAKE_CXX_COMPILER ${tarnwick_zig}/${TARNWICK_ZIG_TARGET}-c++)
set(CMAKE_AR ${tarnwick_zig}/ar CACHE FILEPATH "Archiver")
set(CMAKE_RANLIB ${tarnwick_zig}/ranlib CACHE FILEPATH "Archive indexer")

# Left empty, CMake adds neither -arch nor -isysroot and asks no xcrun: the
# target already says both.
set(CMAKE_OSX_SYSROOT "" CACHE PATH "" FORCE)
set(CMAKE_OSX_ARCHITECTURES "" CACHE STRING "" FORCE)
set(CMAKE_OSX_DEPLOYMENT_TARGET "" CACHE STRING "" FORCE)

# Nothing of the build machine's: its headers would shadow macOS's. The one
# package taken from it is nlohmann-json, header-only, through a folder that
# holds nothing else (see macos-json/).
set(CMAKE_FIND_ROOT_PATH ${CMAKE_CURRENT_LIST_DIR}/macos-json)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(nlohmann_json_DIR ${CMAKE_CURRENT_LIST_DIR}/macos-json)
