# Native targets of the text capture logic: the decision and the own decoder,
# and their table tests when GoogleTest is installed.
add_library(textlogic STATIC
  ${PROJECT_SOURCE_DIR}/text/EncodingScan.cpp
  ${PROJECT_SOURCE_DIR}/text/JisDecode.cpp
)
target_include_directories(textlogic PUBLIC ${PROJECT_SOURCE_DIR}/text ${PROJECT_SOURCE_DIR}/fuzz)

find_package(GTest QUIET)
if(GTest_FOUND)
  add_executable(encoding_tests_native ${PROJECT_SOURCE_DIR}/tests/EncodingTests.cpp)
  target_link_libraries(encoding_tests_native PRIVATE textlogic GTest::gtest_main)
  add_test(NAME encoding_tests_native COMMAND encoding_tests_native)
  set_tests_properties(encoding_tests_native PROPERTIES TIMEOUT 120)
endif()
