# Helpers shared by every folder's CMakeLists.txt.

# Include roots. Engine libraries see only engine/, so an engine file that
# includes a game header fails to build; game libraries see engine/, game/ and
# the generated headers. Tests, benchmarks and fuzz targets see all of them.
set(LUMAROLL_ENGINE_INCLUDE_DIRS ${PROJECT_SOURCE_DIR}/engine)
set(LUMAROLL_GAME_INCLUDE_DIRS ${PROJECT_SOURCE_DIR}/engine ${PROJECT_SOURCE_DIR}/game ${PROJECT_BINARY_DIR}/generated)
set(LUMAROLL_INCLUDE_DIRS ${LUMAROLL_GAME_INCLUDE_DIRS})

# The program's version, defined once: game code includes "Version.h".
configure_file(${CMAKE_CURRENT_LIST_DIR}/Version.h.in ${PROJECT_BINARY_DIR}/generated/Version.h @ONLY)

# _lumaroll_library(NAME DIR ROOTS [EXCLUDE REGEX] [DEPS ...])
# A static library from the .cpp/.c files directly inside DIR (header-only
# folders become an INTERFACE library) with the include roots ROOTS (a list
# variable's name). New files are picked up on the next build.
function(_lumaroll_library name dir roots)
  cmake_parse_arguments(ARG "" "EXCLUDE" "DEPS" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.c)
  list(FILTER _src EXCLUDE REGEX "/main\\.cpp$")
  if(ARG_EXCLUDE)
    list(FILTER _src EXCLUDE REGEX "${ARG_EXCLUDE}")
  endif()
  if(_src)
    add_library(${name} STATIC ${_src})
    target_include_directories(${name} PUBLIC ${${roots}})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${${roots}})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# lumaroll_engine_library(NAME DIR [EXCLUDE REGEX] [DEPS ...]): a library of engine/DIR.
function(lumaroll_engine_library name dir)
  _lumaroll_library(${name} ${dir} LUMAROLL_ENGINE_INCLUDE_DIRS ${ARGN})
endfunction()

# lumaroll_game_library(NAME DIR [EXCLUDE REGEX] [DEPS ...]): a library of game/DIR.
function(lumaroll_game_library name dir)
  _lumaroll_library(${name} ${dir} LUMAROLL_GAME_INCLUDE_DIRS ${ARGN})
endfunction()
