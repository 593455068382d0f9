# Every library the project uses, found once; scripts/setup installs them on Debian 12. Each
# layer under src/ links the ones it needs (src/CMakeLists.txt). The Windows build finds the
# same targets among the libraries scripts/windows-deps cross-builds.
# The font the 3D text is made from, built into the programs (package fonts-liberation).
find_file(QUIXO_SANS_FONT LiberationSans-Regular.ttf PATHS /usr/share/fonts/truetype/liberation
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/dependencies_windows.cmake)
  return()
endif()
find_package(Threads REQUIRED)
find_package(PkgConfig REQUIRED)
find_package(SDL2 CONFIG REQUIRED)
find_package(glslang CONFIG REQUIRED)
find_package(spirv_cross_c_shared CONFIG REQUIRED)
find_package(Freetype REQUIRED)
# FLTK's own CMake package names the fluid designer, which Debian ships in a separate package;
# the launcher needs only the library and its headers, so find those directly.
find_path(FLTK_INCLUDE_DIR FL/Fl.H REQUIRED)
find_library(FLTK_LIBRARY fltk REQUIRED)
add_library(quixo_fltk INTERFACE)
target_include_directories(quixo_fltk SYSTEM INTERFACE ${FLTK_INCLUDE_DIR})
target_link_libraries(quixo_fltk INTERFACE ${FLTK_LIBRARY})
find_package(X11 REQUIRED)  # the launcher talks to the X server beside FLTK
add_library(quixo_launcher_toolkit INTERFACE)
target_link_libraries(quixo_launcher_toolkit INTERFACE quixo_fltk X11::X11)
find_package(kissfft CONFIG REQUIRED COMPONENTS SHARED float)
find_package(nlohmann_json CONFIG REQUIRED)
find_package(CLI11 CONFIG REQUIRED)
pkg_check_modules(OPENMPT REQUIRED IMPORTED_TARGET libopenmpt)
pkg_check_modules(SPNG REQUIRED IMPORTED_TARGET spng)
pkg_check_modules(EPOXY REQUIRED IMPORTED_TARGET epoxy)  # GL and EGL entry points
pkg_check_modules(GLU REQUIRED IMPORTED_TARGET glu)
# The track editor's GUI, for quixo-tool only: Dear ImGui, and its SDL2 and OpenGL 3 back ends,
# which the package ships as source among its examples.
pkg_check_modules(IMGUI REQUIRED IMPORTED_TARGET imgui)
find_path(IMGUI_BACKENDS imgui_impl_opengl3.cpp
          PATHS /usr/share/doc/libimgui-dev/examples/backends NO_DEFAULT_PATH)
if(NOT IMGUI_BACKENDS)
  message(FATAL_ERROR "Dear ImGui's back-end sources are not in /usr/share/doc/libimgui-dev/"
          "examples/backends: install libimgui-dev (scripts/setup), and allow dpkg to install "
          "under /usr/share/doc")
endif()
