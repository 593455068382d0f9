# Cross-building for 64-bit Windows with Debian's MinGW-w64 (the POSIX threads variant, so that
# std::thread and std::mutex work). The libraries built by scripts/windows-deps are found through
# QUIXO_WINDOWS_PREFIXES (a colon-separated list of install prefixes), read from the environment
# so that try_compile projects see it too.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QUIXO_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUIXO_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUIXO_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${QUIXO_MINGW}-windres)
set(CMAKE_AR ${QUIXO_MINGW}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${QUIXO_MINGW}-gcc-ranlib-posix CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${QUIXO_MINGW})
if(NOT QUIXO_WINDOWS_PREFIXES AND DEFINED ENV{QUIXO_WINDOWS_PREFIXES})
  set(QUIXO_WINDOWS_PREFIXES "$ENV{QUIXO_WINDOWS_PREFIXES}")
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QUIXO_WINDOWS_PREFIXES)
string(REPLACE ":" ";" quixo_prefixes "${QUIXO_WINDOWS_PREFIXES}")
list(APPEND CMAKE_FIND_ROOT_PATH ${quixo_prefixes})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Static archives first: the programs carry every library but the system's own DLLs.
set(CMAKE_FIND_LIBRARY_SUFFIXES .a .lib .dll.a)
