# 64-bit Windows: for test machines whose Wine cannot start 32-bit programs.
set(PRISMORA_WIN_ARCH x86_64)
include("${CMAKE_CURRENT_LIST_DIR}/mingw.cmake")
