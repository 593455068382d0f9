# The Windows build's libraries (included by dependencies.cmake): the static libraries that
# scripts/windows-deps cross-builds from Debian's sources, found through the toolchain file's
# search roots, under the same target names as on Linux so that every layer links them alike.
# Header-only libraries come from the build machine's Debian packages, copied on their own so
# that the cross compiler never searches the machine's /usr/include.
find_package(Threads REQUIRED)

find_package(SDL2 CONFIG REQUIRED)  # SDL2::SDL2 names the static library here

find_package(SPIRV-Tools-opt CONFIG REQUIRED)
find_package(glslang CONFIG REQUIRED)
find_package(spirv_cross_core CONFIG REQUIRED)
find_package(spirv_cross_glsl CONFIG REQUIRED)
find_package(spirv_cross_c CONFIG REQUIRED)
add_library(spirv-cross-c-shared INTERFACE IMPORTED)  # the Linux name; static here
target_link_libraries(spirv-cross-c-shared INTERFACE spirv-cross-c)
# Included as <spirv_cross/...>, as from Debian's /usr/include.
find_path(SPIRV_CROSS_INCLUDE_DIR spirv_cross/spirv_cross_c.h REQUIRED)
target_include_directories(spirv-cross-c-shared SYSTEM INTERFACE ${SPIRV_CROSS_INCLUDE_DIR})

find_package(Freetype REQUIRED)
find_library(ZLIB_STATIC libz.a REQUIRED)
set_property(TARGET Freetype::Freetype APPEND PROPERTY INTERFACE_LINK_LIBRARIES ${ZLIB_STATIC})
find_package(kissfft CONFIG REQUIRED COMPONENTS STATIC float)

# Libraries that Linux finds through pkg-config: each a static archive and its headers.
function(quixo_windows_library name library)
  cmake_parse_arguments(ARG "" "" "HEADER;LINK;DEFINES" ${ARGN})
  string(MAKE_C_IDENTIFIER ${name} var)
  find_library(${var}_LIBRARY ${library} REQUIRED)
  add_library(${name} INTERFACE IMPORTED)
  target_link_libraries(${name} INTERFACE ${${var}_LIBRARY} ${ARG_LINK})
  if(ARG_HEADER)
    find_path(${var}_INCLUDE_DIR ${ARG_HEADER} REQUIRED)
    target_include_directories(${name} SYSTEM INTERFACE ${${var}_INCLUDE_DIR})
  endif()
  if(ARG_DEFINES)
    target_compile_definitions(${name} INTERFACE ${ARG_DEFINES})
  endif()
endfunction()

quixo_windows_library(PkgConfig::OPENMPT libopenmpt.a HEADER libopenmpt/libopenmpt.hpp)
quixo_windows_library(PkgConfig::SPNG libspng_static.a HEADER spng.h LINK ${ZLIB_STATIC}
                      DEFINES SPNG_STATIC)
quixo_windows_library(PkgConfig::EPOXY libepoxy.a HEADER epoxy/gl.h LINK opengl32 gdi32)
# Dear ImGui for the tool, its back ends' sources beside it.
find_path(IMGUI_INCLUDEDIR imgui.h PATH_SUFFIXES imgui REQUIRED)
set(IMGUI_BACKENDS ${IMGUI_INCLUDEDIR}/backends)
quixo_windows_library(PkgConfig::IMGUI libimgui.a)
target_include_directories(PkgConfig::IMGUI SYSTEM INTERFACE ${IMGUI_INCLUDEDIR})
# GLU's tessellator is the system's own glu32.
add_library(PkgConfig::GLU INTERFACE IMPORTED)
target_link_libraries(PkgConfig::GLU INTERFACE glu32 opengl32)

# The launcher is made of the system's controls (user32, linked by default).
add_library(quixo_launcher_toolkit INTERFACE)

function(quixo_header_only name header_dir)
  set(copy ${CMAKE_BINARY_DIR}/header-only/${name})
  file(COPY /usr/include/${header_dir} DESTINATION ${copy})
  add_library(${name} INTERFACE IMPORTED)
  target_include_directories(${name} SYSTEM INTERFACE ${copy})
endfunction()
quixo_header_only(CLI11::CLI11 CLI)
quixo_header_only(nlohmann_json::nlohmann_json nlohmann)

# Windows 10's API, its headers without the min and max macros, math.h's constants as on
# Linux; SDL leaves main() to the program.
add_compile_definitions(_WIN32_WINNT=0x0A00 NOMINMAX WIN32_LEAN_AND_MEAN _USE_MATH_DEFINES
                        SDL_MAIN_HANDLED)
# Programs that run from an unzipped folder: the C++ runtime, libgcc and the threads library
# linked in, so that no DLL is needed beside the system's own.
# Stripped, for a smaller download.
add_link_options(-static -static-libgcc -static-libstdc++ -s)
