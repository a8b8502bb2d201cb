target_sources(tavicore PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/AsText.cpp
)
