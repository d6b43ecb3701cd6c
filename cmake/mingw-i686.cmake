# 32-bit Windows: the architecture the programs ship in.
set(PRISMORA_WIN_ARCH i686)
# Float arithmetic on SSE2, as the 64-bit build does, instead of the x87 unit: x87 keeps
# some results in 80-bit registers and rounds others, so the same comparison could come
# out differently in the two builds. Every processor Windows 8 and later runs on has SSE2.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
include("${CMAKE_CURRENT_LIST_DIR}/mingw.cmake")
