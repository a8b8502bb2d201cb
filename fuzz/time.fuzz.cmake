# The time fields' parse against a restatement of its rules.
add_fuzz_target(time_fields 64
  SOURCES ${PROJECT_SOURCE_DIR}/fuzz/TimeFieldsFuzz.cpp ${PROJECT_SOURCE_DIR}/timestamp/TimeFields.cpp
  INCLUDES ${PROJECT_SOURCE_DIR}/timestamp)
