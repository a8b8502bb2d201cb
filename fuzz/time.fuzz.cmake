# The time fields' parse against a restatement of its rules.
add_executable(fuzz_time_fields ${PROJECT_SOURCE_DIR}/fuzz/TimeFieldsFuzz.cpp ${PROJECT_SOURCE_DIR}/timestamp/TimeFields.cpp)
target_include_directories(fuzz_time_fields PRIVATE ${PROJECT_SOURCE_DIR}/timestamp)
target_compile_options(fuzz_time_fields PRIVATE ${fuzz_flags})
target_link_options(fuzz_time_fields PRIVATE ${fuzz_flags})
add_test(NAME fuzz_time_fields
  COMMAND fuzz_time_fields -max_total_time=5 -max_len=64 -print_final_stats=1
          -artifact_prefix=${CMAKE_CURRENT_BINARY_DIR}/fuzz-crash-time-fields-
          ${CMAKE_CURRENT_BINARY_DIR}/fuzz-corpus-time-fields)
set_tests_properties(fuzz_time_fields PROPERTIES TIMEOUT 60)
file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/fuzz-corpus-time-fields)
