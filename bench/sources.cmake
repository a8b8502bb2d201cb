# Benchmarks of the cross build; bench/copy builds and runs the copy engine's.
add_executable(copy_bench ${CMAKE_CURRENT_LIST_DIR}/CopyBench.cpp)
target_link_libraries(copy_bench PRIVATE tavicore hostkit psapi)
target_link_options(copy_bench PRIVATE -static)
