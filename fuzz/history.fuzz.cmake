# The destination history file's reader and writer on any bytes.
add_fuzz_target(history 16384
  SOURCES ${PROJECT_SOURCE_DIR}/fuzz/HistoryFuzz.cpp ${PROJECT_SOURCE_DIR}/copy/History.cpp
  INCLUDES ${PROJECT_SOURCE_DIR}/copy)
