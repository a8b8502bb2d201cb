# Library sources of the copy command, one block per area.
# -- path check (plugin/), status text and pump:
target_sources(tavicore PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/../plugin/PathCheck.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StatusText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PumpProgress.cpp
)
# -- copy engine:
target_sources(tavicore PRIVATE ${CMAKE_CURRENT_LIST_DIR}/NewerRule.cpp ${CMAKE_CURRENT_LIST_DIR}/CopyEngine.cpp)
# -- command driver, folder browser and history, progress window:
target_sources(tavicore PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/CopyCommand.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ShellItems.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProgressWindow.cpp
)
# -- folder browser and its history:
target_sources(tavicore PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/BrowseHook.cpp
  ${CMAKE_CURRENT_LIST_DIR}/History.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HistoryBox.cpp
)
