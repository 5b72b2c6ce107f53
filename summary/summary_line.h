// One line of an MD5 summary: "<32 hex digits> <marker><name>", the marker a blank or '*'.
#ifndef VELMORA_SUMMARY_SUMMARY_LINE_H
#define VELMORA_SUMMARY_SUMMARY_LINE_H

#include <cstddef>
#include <cstdio>

enum SummaryLineResult {
  kLineEnd = -1,
  kLineRejected = 0,
  kLineTextMode = 1,     // blank marker
  kLineBinaryMode = 2,   // asterisk marker
  kLineUnrecognized = 3  // digest and blank fine, marker neither: the caller tells the user
};

enum {
  kMaxSummaryLineText = 2047,
  kMinSummaryName = 2,
  kMaxSummaryName = 260,
  kMaxWrittenDigest = 32,
  kMaxWrittenName = 289,
  kSummaryLineSize = kMaxWrittenDigest + 2 + kMaxWrittenName + 2 + 1
};

// 0..15 for '0'-'9' and 'a'-'f'; -1 for anything else, capitals included.
int HexDigitValue(int c);

// Reads the next line of a stream opened in binary mode (a CR right before the LF is
// dropped here) and parses it. On kLineTextMode or kLineBinaryMode, digest and name
// (kMaxSummaryName + 1 bytes) are filled.
int ParseSummaryLine(FILE* stream, unsigned char digest[16], char name[261]);

// The writer's form of a line, ending in CR LF, into out (kSummaryLineSize bytes are always
// enough). Returns the number of characters written.
size_t FormatSummaryLine(const char* digest, const char* name, char* out, size_t outSize);

#endif
