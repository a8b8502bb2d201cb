# Library sources of the copy command, one block per area.
# -- path check and names (plugin/), status text and pump:
# -- copy engine:
target_sources(tavicore PRIVATE ${CMAKE_CURRENT_LIST_DIR}/NewerRule.cpp)
