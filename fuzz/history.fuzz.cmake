# The destination history file's reader and writer on any bytes.
add_executable(fuzz_history ${PROJECT_SOURCE_DIR}/fuzz/HistoryFuzz.cpp ${PROJECT_SOURCE_DIR}/copy/History.cpp)
target_include_directories(fuzz_history PRIVATE ${PROJECT_SOURCE_DIR}/copy)
target_compile_options(fuzz_history PRIVATE ${fuzz_flags})
target_link_options(fuzz_history PRIVATE ${fuzz_flags})
add_test(NAME fuzz_history
  COMMAND fuzz_history -max_total_time=5 -max_len=16384 -print_final_stats=1
          -artifact_prefix=${CMAKE_CURRENT_BINARY_DIR}/fuzz-crash-history-
          ${CMAKE_CURRENT_BINARY_DIR}/fuzz-corpus-history)
set_tests_properties(fuzz_history PROPERTIES TIMEOUT 60)
file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/fuzz-corpus-history)
