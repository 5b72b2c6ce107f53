#include "common/paths.h"

#include <cstring>

#include "common/bounded_text.h"

namespace {

TextCompareFn PathCaseCompare = AsciiCaseCompare;

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsSeparatorOrColon(char c) { return IsSeparator(c) || c == ':'; }

unsigned char FoldAscii(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// Position of the last separator or colon, or null when there is none.
const char* LastSeparatorOrColon(const char* path) {
  const char* last = nullptr;
  for (const char* p = path; *p != '\0'; ++p) {
    if (IsSeparatorOrColon(*p)) last = p;
  }
  return last;
}

// Whether the first baseLength bytes of path name the base. A base can hold at most
// kPathTextSize - 1 bytes, so a longer one never matches.
bool PrefixMatchesBase(const char* base, const char* path, size_t baseLength) {
  char prefix[kPathTextSize];
  if (baseLength >= sizeof(prefix)) return false;
  // The paths of a walk start with the base as written; equal bytes are equal in any case
  // rule, and the system's comparison costs microseconds per file.
  if (std::memcmp(path, base, baseLength) == 0) return true;
  std::memcpy(prefix, path, baseLength);
  prefix[baseLength] = '\0';
  return PathCaseCompare(prefix, base) == 0;
}

}  // namespace

int AsciiCaseCompare(const char* a, const char* b) {
  const unsigned char* left = reinterpret_cast<const unsigned char*>(a);
  const unsigned char* right = reinterpret_cast<const unsigned char*>(b);
  for (;; ++left, ++right) {
    const unsigned char x = FoldAscii(*left);
    const unsigned char y = FoldAscii(*right);
    if (x != y) return x < y ? -1 : 1;
    if (x == '\0') return 0;
  }
}

void SetPathCaseCompare(TextCompareFn compare) {
  PathCaseCompare = compare != nullptr ? compare : AsciiCaseCompare;
}

bool IsUnderBase(const char* base, const char* path, char* relative) {
  const size_t baseLength = std::strlen(base);
  const size_t pathLength = std::strlen(path);
  if (pathLength < baseLength) return false;
  if (pathLength == baseLength) {
    // The Base Directory itself lies under it, with nothing behind it.
    if (PathCaseCompare(path, base) != 0) return false;
    if (relative != nullptr) relative[0] = '\0';
    return true;
  }
  if (!PrefixMatchesBase(base, path, baseLength)) return false;
  size_t start = baseLength;
  if (baseLength > 0 && !IsSeparator(base[baseLength - 1])) {
    // D:\data must not take in D:\database.
    if (!IsSeparator(path[baseLength])) return false;
    ++start;
  }
  if (relative != nullptr) CopyText(relative, kPathTextSize, path + start);
  return true;
}

bool RelativeName(const char* base, const char* path, char* output) {
  if (!IsUnderBase(base, path, output)) {
    output[0] = '\0';
    return false;
  }
  ToSlashes(output);
  return true;
}

void ToSlashes(char* text) {
  for (char* p = text; *p != '\0'; ++p) {
    if (*p == '\\') *p = '/';
  }
}

const char* BaseName(const char* path) {
  const char* last = LastSeparatorOrColon(path);
  return last != nullptr ? last + 1 : path;
}

void DirectoryOfPath(char* path) {
  char* last = const_cast<char*>(LastSeparatorOrColon(path));
  if (last == nullptr) return;
  const bool keepSeparator =
      last == path || *last == ':' || (IsSeparator(*last) && last[-1] == ':');
  // A root (\, D:, D:\) keeps its last character; any other directory loses the separator.
  if (keepSeparator) {
    last[1] = '\0';
  } else {
    last[0] = '\0';
  }
}

bool JoinPath(const char* directory, const char* name, char* output, size_t outputSize) {
  if (outputSize == 0) return false;
  bool whole = CopyText(output, outputSize, directory);
  const size_t length = std::strlen(output);
  // A one-character directory such as "." gets its separator too, or "." and "x" would
  // run together into ".x".
  if (length > 0 && !IsSeparator(output[length - 1])) {
    whole = AppendText(output, outputSize, "\\") && whole;
  }
  whole = AppendText(output, outputSize, name) && whole;
  return whole;
}

void StripQuotes(char* text) {
  const size_t length = std::strlen(text);
  if (length < 3 || text[0] != '"' || text[length - 1] != '"') return;
  std::memmove(text, text + 1, length - 2);
  text[length - 2] = '\0';
}

namespace {

bool IsDriveAbsolute(const char* path) {
  char drive = path[0];
  bool letter = (drive >= 'a' && drive <= 'z') || (drive >= 'A' && drive <= 'Z');
  return letter && path[1] == ':' && IsSeparator(path[2]);
}

// Walks the components after "D:\"; reports whether one ends in a blank or a dot, and
// whether all of them can be written literally.
void InspectComponents(const char* path, bool* trimmable, bool* expressible) {
  *trimmable = false;
  *expressible = true;
  const char* start = path + 3;
  for (const char* p = start;; ++p) {
    if (*p != '\0' && !IsSeparator(*p)) continue;
    size_t length = static_cast<size_t>(p - start);
    bool dots = (length == 1 && start[0] == '.') || (length == 2 && start[0] == '.' && start[1] == '.');
    if ((length == 0 && *p != '\0') || dots) *expressible = false;
    if (length > 0 && !dots && (p[-1] == ' ' || p[-1] == '.')) *trimmable = true;
    if (*p == '\0') break;
    start = p + 1;
  }
}

}  // namespace

bool MakeLiteralPath(const char* path, char* output, size_t outputSize) {
  if (!IsDriveAbsolute(path)) return false;
  bool trimmable, expressible;
  InspectComponents(path, &trimmable, &expressible);
  if (!trimmable || !expressible) return false;
  if (!CopyText(output, outputSize, "\\\\?\\") || !AppendText(output, outputSize, path)) return false;
  for (char* c = output; *c; ++c) {
    if (*c == '/') *c = '\\';
  }
  return true;
}
