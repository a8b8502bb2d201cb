# Benchmarks of the cross build; bench/copy builds and runs the copy engine's.
add_executable(copy_bench ${CMAKE_CURRENT_LIST_DIR}/CopyBench.cpp)
target_link_libraries(copy_bench PRIVATE tavicore hostkit psapi)
target_link_options(copy_bench PRIVATE -static)
# Where AsText's time goes in the 32-bit build: read, scan, scoring, UTF-16
# handling and the converters, timed one by one (run it through cmake/wine-run).
add_executable(astext_phases ${CMAKE_CURRENT_LIST_DIR}/AsTextPhases.cpp)
target_include_directories(astext_phases PRIVATE ${PROJECT_SOURCE_DIR}/text)
target_link_libraries(astext_phases PRIVATE tavicore)
target_link_options(astext_phases PRIVATE -static)
