# Timestamps: the DtTime export and the time dialog's handlers.
target_sources(tavicore PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/TimeCommand.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TimeDialog.cpp
)
