# CgName's joins in a buffer of messageBuffer's size.
add_fuzz_target(name_rules 1024
  SOURCES ${PROJECT_SOURCE_DIR}/fuzz/NameRulesFuzz.cpp ${PROJECT_SOURCE_DIR}/rename/NameRules.cpp
          ${PROJECT_SOURCE_DIR}/plugin/PathText.cpp
  INCLUDES ${PROJECT_SOURCE_DIR}/rename ${PROJECT_SOURCE_DIR}/plugin)
