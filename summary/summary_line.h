// One line of an MD5 summary: "<32 hex digits> <marker><name>", the marker a blank or '*'.
#ifndef VELMORA_SUMMARY_SUMMARY_LINE_H
#define VELMORA_SUMMARY_SUMMARY_LINE_H

#include <cstddef>
#include <cstdio>

#include "common/utf8_text.h"

enum SummaryLineResult {
  kLineEnd = -1,
  kLineRejected = 0,
  kLineTextMode = 1,     // blank marker
  kLineBinaryMode = 2,   // asterisk marker
  kLineUnrecognized = 3,  // digest and blank fine, marker neither: the caller tells the user
  kLineEmpty = 4          // nothing on the line: no entry, and nothing lost
};

enum {
  kMaxSummaryLineText = 2047,
  kMinSummaryName = 1,
  // Characters as Windows counts them (UTF-16 units) for a UTF-8 name; bytes for a name in a
  // legacy code page, or for every name where the process code page is not UTF-8.
  kMaxSummaryName = 260,
  kSummaryNameSize = kMaxSummaryName * kUtf8BytesPerUnit + 1,  // holds any accepted name
  kMaxWrittenDigest = 32,
  kMaxWrittenName = kSummaryNameSize - 1,
  kSummaryLineSize = kMaxWrittenDigest + 2 + kMaxWrittenName + 2 + 1
};

// 0..15 for '0'-'9' and 'a'-'f'; -1 for anything else, capitals included.
int HexDigitValue(int c);

// Reads the next line of a stream opened in binary mode (a CR right before the LF is
// dropped here) and parses it. On kLineTextMode or kLineBinaryMode, digest and name
// (kSummaryNameSize bytes) are filled. With utf8Names (the process code page is UTF-8), a name
// that is well-formed UTF-8 may have up to kMaxSummaryName UTF-16 units; any other name, and
// every name without utf8Names, up to kMaxSummaryName bytes.
int ParseSummaryLine(FILE* stream, unsigned char digest[16], char name[kSummaryNameSize],
                     bool utf8Names);

// Skips a UTF-8 byte order mark at the stream's position, the start of a summary: Windows text
// editors write one, and it would otherwise spoil the first line.
void SkipByteOrderMark(FILE* stream);

// The writer's form of a line, ending in CR LF, into out (kSummaryLineSize bytes are always
// enough). Returns the number of characters written.
size_t FormatSummaryLine(const char* digest, const char* name, char* out, size_t outSize);

#endif
