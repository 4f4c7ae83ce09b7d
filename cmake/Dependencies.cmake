# System libraries, all from Debian packages (see scripts/deps).
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
find_package(ZLIB REQUIRED)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(GLESV2 REQUIRED IMPORTED_TARGET glesv2)
pkg_check_modules(SNDFILE REQUIRED IMPORTED_TARGET sndfile)

# stb_image / stb_image_write are header-only; one translation unit of ours
# (engine/gr/stb_impl.c) holds their implementations.
find_path(STB_INCLUDE_DIR stb_image.h PATH_SUFFIXES stb REQUIRED)
add_library(stb INTERFACE)
target_include_directories(stb SYSTEM INTERFACE ${STB_INCLUDE_DIR})

# Dear ImGui: Debian ships the core as a static library and the back ends as sources.
find_path(IMGUI_INCLUDE_DIR imgui.h PATH_SUFFIXES imgui REQUIRED)
find_library(IMGUI_LIBRARY imgui REQUIRED)
set(IMGUI_BACKEND_SOURCES_DIR /usr/share/doc/libimgui-dev/examples/backends)
