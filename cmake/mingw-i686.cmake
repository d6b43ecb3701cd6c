# 32-bit Windows: the architecture the programs ship in.
set(PRISMORA_WIN_ARCH i686)
include("${CMAKE_CURRENT_LIST_DIR}/mingw.cmake")
