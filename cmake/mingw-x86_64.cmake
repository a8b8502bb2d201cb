# 64-bit Windows: the same sources, run by the tests where i386 programs cannot run.
set(mingw_arch x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
