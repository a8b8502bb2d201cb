# Native timing program for the text decision (bench/astext calls it).
add_executable(decision_bench ${PROJECT_SOURCE_DIR}/bench/DecisionBench.cpp
  ${PROJECT_SOURCE_DIR}/text/EncodingScan.cpp)
target_include_directories(decision_bench PRIVATE ${PROJECT_SOURCE_DIR}/text)
target_compile_options(decision_bench PRIVATE -O2)
