# Host build: platform-free code and its tests under AddressSanitizer and UBSan.
set(SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
add_compile_options(-Wall -Wextra -g -O1 ${SANITIZE})
add_link_options(${SANITIZE})

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

velmora_core_library(velmora_core)

add_executable(core_tests ${CORE_TEST_SOURCES})
target_link_libraries(core_tests PRIVATE velmora_core gtest_main)
include(GoogleTest)
gtest_discover_tests(core_tests DISCOVERY_MODE PRE_TEST)

# The pictures' generator checks itself: formats, sizes, transparency, bad input.
find_package(Python3 COMPONENTS Interpreter)
if(Python3_FOUND)
  add_test(NAME art.check_art COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/art/check_art.py)
endif()

# The fuzz targets replay their saved inputs (fuzz/corpus/<target>/) under the same sanitizers;
# a driver stands in for libFuzzer, so no clang is needed here. `make fuzz` does the fuzzing.
foreach(fuzz_target ${FUZZ_TARGETS})
  add_executable(fuzz_replay_${fuzz_target} ${CMAKE_SOURCE_DIR}/fuzz/${fuzz_target}_fuzzer.cpp
                                            ${CMAKE_SOURCE_DIR}/fuzz/replay_main.cpp)
  target_link_libraries(fuzz_replay_${fuzz_target} PRIVATE velmora_core)
  add_test(NAME fuzz.${fuzz_target}
           COMMAND fuzz_replay_${fuzz_target} ${CMAKE_SOURCE_DIR}/fuzz/corpus/${fuzz_target})
endforeach()

# The layers keep their order: no include of digest/, summary/, settings/ or common/ runs up.
find_program(BASH_PROGRAM bash REQUIRED)
add_test(NAME layers.includes COMMAND ${BASH_PROGRAM} ${CMAKE_SOURCE_DIR}/scripts/check_layers.sh)
