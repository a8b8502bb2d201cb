# Native (Linux, clang) build of the logic that has no Windows dependency.
# Each folder adds its own targets through an optional native.cmake.
add_compile_options(-Wall -Wextra)
add_library(purelogic STATIC ${PROJECT_SOURCE_DIR}/plugin/PathText.cpp)
target_include_directories(purelogic PUBLIC ${PROJECT_SOURCE_DIR}/plugin ${PROJECT_SOURCE_DIR}/text ${PROJECT_SOURCE_DIR}/copy
  ${PROJECT_SOURCE_DIR}/rename ${PROJECT_SOURCE_DIR}/timestamp)
include(${PROJECT_SOURCE_DIR}/text/native.cmake OPTIONAL)
include(${PROJECT_SOURCE_DIR}/copy/native.cmake OPTIONAL)
include(${PROJECT_SOURCE_DIR}/rename/native.cmake OPTIONAL)
include(${PROJECT_SOURCE_DIR}/timestamp/native.cmake OPTIONAL)
include(${PROJECT_SOURCE_DIR}/fuzz/native.cmake OPTIONAL)
include(${PROJECT_SOURCE_DIR}/bench/native.cmake OPTIONAL)
