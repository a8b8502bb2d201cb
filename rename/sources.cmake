# Rename and create: the CgName export and the name dialog's handlers.
target_sources(tavicore PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/NameCommand.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NameDialog.cpp
)
target_sources(tavicore PRIVATE ${CMAKE_CURRENT_LIST_DIR}/NameRules.cpp)
