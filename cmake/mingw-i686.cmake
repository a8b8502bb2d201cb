# 32-bit Windows: the library as it ships.
set(mingw_arch i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
