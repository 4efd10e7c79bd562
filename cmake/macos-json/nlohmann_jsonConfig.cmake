# nlohmann-json for the macOS cross build: Debian's headers through a folder
# that holds only a link to them, so that no other header of the build
# machine's /usr/include can stand in for macOS's.
if(NOT TARGET nlohmann_json::nlohmann_json)
  set(include ${CMAKE_BINARY_DIR}/nlohmann-json-include)
  file(MAKE_DIRECTORY ${include})
  if(NOT EXISTS ${include}/nlohmann)
    file(CREATE_LINK /usr/include/nlohmann ${include}/nlohmann SYMBOLIC)
  endif()
  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
  set_target_properties(nlohmann_json::nlohmann_json PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${include})
endif()
