# Helpers shared by every folder's CMakeLists.txt.

set(LUMAROLL_INCLUDE_DIRS ${PROJECT_SOURCE_DIR}/engine ${PROJECT_SOURCE_DIR}/game)

# lumaroll_library(NAME DIR [EXCLUDE REGEX] [DEPS ...])
# A static library from the .cpp/.c files directly inside DIR (header-only
# folders become an INTERFACE library). New files are picked up on the next build.
function(lumaroll_library name dir)
  cmake_parse_arguments(ARG "" "EXCLUDE" "DEPS" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.c)
  list(FILTER _src EXCLUDE REGEX "/main\\.cpp$")
  if(ARG_EXCLUDE)
    list(FILTER _src EXCLUDE REGEX "${ARG_EXCLUDE}")
  endif()
  if(_src)
    add_library(${name} STATIC ${_src})
    target_include_directories(${name} PUBLIC ${LUMAROLL_INCLUDE_DIRS})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${LUMAROLL_INCLUDE_DIRS})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()
