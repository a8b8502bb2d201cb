# libFuzzer targets (AddressSanitizer and UndefinedBehaviorSanitizer) for the
# text decision and the own JIS decoder, built only when clang's fuzzer
# runtime is installed. Each is run for a bounded time by ctest.
include(CheckCXXSourceCompiles)
set(CMAKE_REQUIRED_FLAGS "-fsanitize=fuzzer")
check_cxx_source_compiles("
#include <stddef.h>
#include <stdint.h>
extern \"C\" int LLVMFuzzerTestOneInput(const uint8_t*, size_t) { return 0; }" TAVIMORE_HAVE_LIBFUZZER)
unset(CMAKE_REQUIRED_FLAGS)

if(TAVIMORE_HAVE_LIBFUZZER)
  set(fuzz_flags -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -g -O1)
  set(fuzz_sources ${PROJECT_SOURCE_DIR}/text/EncodingScan.cpp ${PROJECT_SOURCE_DIR}/text/JisDecode.cpp)
  # The decision with the vector mask path, with the 32-bit mask layout that
  # the DLL uses, and with the portable path.
  foreach(variant decision decision_mask32 decision_portable jis_decode)
    if(variant STREQUAL "jis_decode")
      add_executable(fuzz_${variant} ${PROJECT_SOURCE_DIR}/fuzz/JisDecodeFuzz.cpp ${fuzz_sources})
    else()
      add_executable(fuzz_${variant} ${PROJECT_SOURCE_DIR}/fuzz/DecisionFuzz.cpp ${fuzz_sources})
    endif()
    target_include_directories(fuzz_${variant} PRIVATE ${PROJECT_SOURCE_DIR}/text ${PROJECT_SOURCE_DIR}/fuzz)
    target_compile_options(fuzz_${variant} PRIVATE ${fuzz_flags})
    target_link_options(fuzz_${variant} PRIVATE ${fuzz_flags})
    add_test(NAME fuzz_${variant}
      COMMAND fuzz_${variant} -max_total_time=5 -max_len=4096 -print_final_stats=1
              -artifact_prefix=${CMAKE_CURRENT_BINARY_DIR}/fuzz-crash-${variant}-
              ${CMAKE_CURRENT_BINARY_DIR}/fuzz-corpus-${variant})
    set_tests_properties(fuzz_${variant} PROPERTIES TIMEOUT 60)
    file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/fuzz-corpus-${variant})
  endforeach()
  target_compile_definitions(fuzz_decision_portable PRIVATE TAVIMORE_NO_SIMD)
  target_compile_definitions(fuzz_decision_mask32 PRIVATE TAVIMORE_MASK32)
  # add_fuzz_target(NAME MAX_LEN SOURCES source... INCLUDES dir...): one libFuzzer
  # program over platform-free sources, run for 5 s by ctest.
  function(add_fuzz_target name max_len)
    cmake_parse_arguments(F "" "" "SOURCES;INCLUDES" ${ARGN})
    add_executable(fuzz_${name} ${F_SOURCES})
    target_include_directories(fuzz_${name} PRIVATE ${F_INCLUDES})
    target_compile_options(fuzz_${name} PRIVATE ${fuzz_flags})
    target_link_options(fuzz_${name} PRIVATE ${fuzz_flags})
    add_test(NAME fuzz_${name}
      COMMAND fuzz_${name} -max_total_time=5 -max_len=${max_len} -print_final_stats=1
              -artifact_prefix=${CMAKE_CURRENT_BINARY_DIR}/fuzz-crash-${name}-
              ${CMAKE_CURRENT_BINARY_DIR}/fuzz-corpus-${name})
    set_tests_properties(fuzz_${name} PROPERTIES TIMEOUT 60)
    file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/fuzz-corpus-${name})
  endfunction()
  # Further targets, one file each (fuzz/<area>.fuzz.cmake).
  file(GLOB fuzz_target_lists ${PROJECT_SOURCE_DIR}/fuzz/*.fuzz.cmake)
  foreach(target_list ${fuzz_target_lists})
    include(${target_list})
  endforeach()
endif()
