# Text capture: the AsText export and its platform-free decision and decoder.
target_sources(tavicore PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/AsText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EncodingScan.cpp
  ${CMAKE_CURRENT_LIST_DIR}/JisDecode.cpp
)
