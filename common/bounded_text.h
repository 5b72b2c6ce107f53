// Length-limited text helpers: every fixed buffer of the program is filled through these,
// so no input can write past its end. Each result is always zero-terminated (size > 0).
#ifndef VELMORA_COMMON_BOUNDED_TEXT_H
#define VELMORA_COMMON_BOUNDED_TEXT_H

#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cstring>

// Copies src into dst (dstSize bytes in all); returns false when src had to be cut.
inline bool CopyText(char* dst, size_t dstSize, const char* src) {
  if (dstSize == 0) return false;
  size_t n = std::strlen(src);
  bool fits = n < dstSize;
  if (!fits) n = dstSize - 1;
  std::memmove(dst, src, n);
  dst[n] = '\0';
  return fits;
}

// Appends src to the text already in dst; returns false when src had to be cut.
inline bool AppendText(char* dst, size_t dstSize, const char* src) {
  size_t used = strnlen(dst, dstSize);
  if (used >= dstSize) return false;
  return CopyText(dst + used, dstSize - used, src);
}

// printf into a fixed buffer; returns false when the result had to be cut.
inline bool FormatText(char* dst, size_t dstSize, const char* format, ...) {
  if (dstSize == 0) return false;
  va_list args;
  va_start(args, format);
  int n = std::vsnprintf(dst, dstSize, format, args);
  va_end(args);
  if (n < 0) {
    dst[0] = '\0';
    return false;
  }
  return static_cast<size_t>(n) < dstSize;
}

#endif
