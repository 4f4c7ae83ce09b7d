# System libraries, all from Debian packages (see scripts/deps).
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
find_package(ZLIB REQUIRED)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(GLESV2 REQUIRED IMPORTED_TARGET glesv2)
pkg_check_modules(SNDFILE REQUIRED IMPORTED_TARGET sndfile)
# MP3 clips go to libmpg123 itself: through libsndfile, a stream whose first
# frame is not at the start or right after its ID3v2 tag is not recognised.
pkg_check_modules(MPG123 REQUIRED IMPORTED_TARGET libmpg123)

# stb_image / stb_image_write are header-only; one translation unit of ours
# (engine/gr/stb_impl.c) holds their implementations.
find_path(STB_INCLUDE_DIR stb_image.h PATH_SUFFIXES stb REQUIRED)
add_library(stb INTERFACE)
target_include_directories(stb SYSTEM INTERFACE ${STB_INCLUDE_DIR})

# Dear ImGui: Debian ships the core as a static library and the back ends as sources.
find_path(IMGUI_INCLUDE_DIR imgui.h PATH_SUFFIXES imgui REQUIRED)
find_library(IMGUI_LIBRARY imgui REQUIRED)
set(IMGUI_BACKEND_SOURCES_DIR /usr/share/doc/libimgui-dev/examples/backends)

# The core links Debian's stb_truetype, which also lets the overlay check a
# font file before handing it to the atlas.
find_library(STB_LIBRARY stb REQUIRED)
# The archive's own OpenGL3 back end is built for desktop GL (with a loader
# that opens libGL); the overlay compiles the back end's source for OpenGL ES 2
# instead, so the archive's copy is never linked.
add_library(imgui_gles2_backend STATIC ${IMGUI_BACKEND_SOURCES_DIR}/imgui_impl_opengl3.cpp)
target_compile_definitions(imgui_gles2_backend PUBLIC IMGUI_IMPL_OPENGL_ES2)
target_compile_options(imgui_gles2_backend PRIVATE -w)
target_include_directories(imgui_gles2_backend SYSTEM PUBLIC ${IMGUI_INCLUDE_DIR} ${IMGUI_INCLUDE_DIR}/backends)
target_link_libraries(imgui_gles2_backend PUBLIC ${IMGUI_LIBRARY} ${STB_LIBRARY} PkgConfig::GLESV2)
