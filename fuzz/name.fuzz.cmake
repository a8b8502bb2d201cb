# CgName's joins in a buffer of messageBuffer's size.
add_executable(fuzz_name_rules ${PROJECT_SOURCE_DIR}/fuzz/NameRulesFuzz.cpp
  ${PROJECT_SOURCE_DIR}/rename/NameRules.cpp ${PROJECT_SOURCE_DIR}/plugin/PathText.cpp)
target_include_directories(fuzz_name_rules PRIVATE ${PROJECT_SOURCE_DIR}/rename ${PROJECT_SOURCE_DIR}/plugin)
target_compile_options(fuzz_name_rules PRIVATE ${fuzz_flags})
target_link_options(fuzz_name_rules PRIVATE ${fuzz_flags})
add_test(NAME fuzz_name_rules
  COMMAND fuzz_name_rules -max_total_time=5 -max_len=1024 -print_final_stats=1
          -artifact_prefix=${CMAKE_CURRENT_BINARY_DIR}/fuzz-crash-name-rules-
          ${CMAKE_CURRENT_BINARY_DIR}/fuzz-corpus-name-rules)
set_tests_properties(fuzz_name_rules PROPERTIES TIMEOUT 60)
file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/fuzz-corpus-name-rules)
