// Invariant checks of the fuzz targets. A failed check aborts, so libFuzzer keeps the input
// as a crash and the corpus replay in the native tests fails.
#ifndef VELMORA_FUZZ_FUZZ_CHECK_H
#define VELMORA_FUZZ_FUZZ_CHECK_H

#include <cstdio>
#include <cstdlib>

[[noreturn]] inline void FuzzCheckFailed(const char* file, int line, const char* what) {
  std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, what);
  std::abort();
}

#define FUZZ_CHECK(condition, what)                                 \
  do {                                                              \
    if (!(condition)) FuzzCheckFailed(__FILE__, __LINE__, (what));  \
  } while (0)

#endif
