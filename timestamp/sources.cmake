# Timestamps: the DtTime export, the time dialog's handlers and the field checks.
target_sources(tavicore PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/TimeCommand.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TimeDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TimeFields.cpp
)
