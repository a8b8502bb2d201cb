# Text capture: the AsText export and its platform-free decision and decoder.
target_sources(tavicore PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/AsText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EncodingScan.cpp
  ${CMAKE_CURRENT_LIST_DIR}/JisDecode.cpp
)
# The decision builds its byte-class masks with SSE2 where the compiler targets
# it (as MSVC does for 32-bit code by default); MinGW's i686 default does not.
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/EncodingScan.cpp PROPERTIES COMPILE_OPTIONS "-msse2")
