// Path rules under the Base Directory. Text only: nothing here touches the file system.
// Paths are at most 259 characters plus the terminator, as Windows counts them; in UTF-8 that
// is up to three bytes a character. Both '\' and '/' are separators.
#ifndef VELMORA_COMMON_PATHS_H
#define VELMORA_COMMON_PATHS_H

#include <cstddef>

#include "common/utf8_text.h"

enum {
  kMaxPath = 260,
  // Bytes that hold any path of up to kMaxPath - 1 characters, or a part of one, in UTF-8.
  kPathTextSize = kMaxPath * kUtf8BytesPerUnit + 1
};

typedef int (*TextCompareFn)(const char* a, const char* b);

// Compares with 'A'..'Z' folded to 'a'..'z' and every other byte taken as it is.
int AsciiCaseCompare(const char* a, const char* b);

// The case-insensitive compare used by IsUnderBase. The Windows build installs the locale's
// compare; null restores AsciiCaseCompare.
void SetPathCaseCompare(TextCompareFn compare);

// True when path lies under base (an empty base holds every path). When relative is given
// (kPathTextSize bytes) and the answer is true, it receives the part of path behind the base.
bool IsUnderBase(const char* base, const char* path, char* relative);

// The relative part with slashes in output (kPathTextSize bytes). False, with output empty,
// when path is not under base.
bool RelativeName(const char* base, const char* path, char* output);

void ToSlashes(char* text);

// The text after the last '\', '/' or ':' of path; the whole path when it has none.
const char* BaseName(const char* path);

// Cuts path down to its directory part, in place (D:\data\x.md5 -> D:\data, D:\x -> D:\).
void DirectoryOfPath(char* path);

// directory + '\' + name into output; false when the result had to be cut.
bool JoinPath(const char* directory, const char* name, char* output, size_t outputSize);

// Removes one pair of double quotes around a text of at least 3 characters, in place.
void StripQuotes(char* text);

// The system's ordinary path handling drops blanks and dots at the end of a name, so a file
// named "notes " or "draft." could never be opened by its plain path. For an absolute drive
// path with such a name, writes the literal form "\\?\D:\..." (backslashes only) and returns
// true; returns false when the plain path serves (or the literal form cannot express it: a
// relative path, an empty, "." or ".." component, or no room).
enum { kLiteralPathSize = kPathTextSize + 4 };
bool MakeLiteralPath(const char* path, char* output, size_t outputSize);

#endif
