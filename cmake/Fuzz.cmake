# The libFuzzer build (VELMORA_FUZZ, clang; scripts/fuzz.sh): the core library instrumented for
# the fuzzer, and each fuzz target linked with libFuzzer's driver, all under ASan and UBSan.
set(FUZZ_SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
add_compile_options(-Wall -Wextra -g -O1 -fsanitize=fuzzer-no-link ${FUZZ_SANITIZE})
add_link_options(${FUZZ_SANITIZE})

velmora_core_library(velmora_core)

# What scripts/fuzz.sh runs: one line per target, its name and its longest input.
set(FUZZ_TARGET_LIST "")
foreach(fuzz_target ${FUZZ_TARGETS})
  add_executable(fuzz_${fuzz_target} ${CMAKE_SOURCE_DIR}/fuzz/${fuzz_target}_fuzzer.cpp)
  target_link_libraries(fuzz_${fuzz_target} PRIVATE velmora_core)
  target_link_options(fuzz_${fuzz_target} PRIVATE -fsanitize=fuzzer)
  set(max_len 2048)
  if(DEFINED FUZZ_MAX_LEN_${fuzz_target})
    set(max_len ${FUZZ_MAX_LEN_${fuzz_target}})
  endif()
  string(APPEND FUZZ_TARGET_LIST "${fuzz_target} ${max_len}\n")
endforeach()
file(WRITE ${CMAKE_BINARY_DIR}/fuzz_targets.txt "${FUZZ_TARGET_LIST}")
