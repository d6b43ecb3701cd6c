# Cross-compiling for Windows with MinGW-w64 (posix threads: std::mutex exists).
# Included by the per-architecture toolchain files, which set PRISMORA_WIN_ARCH.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${PRISMORA_WIN_ARCH})
set(_triple ${PRISMORA_WIN_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER ${_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${_triple}-windres)
get_filename_component(_prismora_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_FIND_ROOT_PATH /usr/${_triple} "${_prismora_root}/.deps/${PRISMORA_WIN_ARCH}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Tests run under the Wine loader of the tree's own architecture.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/env PRISMORA_WINE_ARCH=${PRISMORA_WIN_ARCH} "${_prismora_root}/scripts/winrun")
