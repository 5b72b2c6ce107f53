// One line of a summary, in the forms coreutils' `md5sum -c` (and sha1sum, sha256sum, sha512sum)
// reads: "<hex digits> <marker><name>", the marker a blank or '*', or the BSD form of `--tag`,
// "<TAG> (<name>) = <hex digits>". The number of digits (or the tag) tells the kind of digest;
// the digits may be of either case.
#ifndef VELMORA_SUMMARY_SUMMARY_LINE_H
#define VELMORA_SUMMARY_SUMMARY_LINE_H

#include <cstddef>
#include <cstdio>

#include "common/utf8_text.h"
#include "digest/digest_kind.h"

enum SummaryLineResult {
  kLineEnd = -1,
  kLineRejected = 0,
  kLineTextMode = 1,      // blank marker
  kLineBinaryMode = 2,    // asterisk marker
  kLineUnrecognized = 3,  // digest and blank fine, marker neither: the caller tells the user
  kLineEmpty = 4,         // nothing on the line: no entry, and nothing lost
  kLineTagged = 5         // the BSD form
};

// Whether the result is a line that gives an entry (text, binary or BSD form).
inline bool IsEntryLine(int result) {
  return result == kLineTextMode || result == kLineBinaryMode || result == kLineTagged;
}

enum {
  kMaxSummaryLineText = 2047,
  kMinSummaryName = 1,
  // Characters as Windows counts them (UTF-16 units) for a UTF-8 name; bytes for a name in a
  // legacy code page, or for every name where the process code page is not UTF-8.
  kMaxSummaryName = 260,
  kSummaryNameSize = kMaxSummaryName * kUtf8BytesPerUnit + 1,  // holds any accepted name
  kMaxWrittenDigest = kMaxDigestDigits,
  kMaxWrittenName = kSummaryNameSize - 1,
  kSummaryLineSize = kMaxWrittenDigest + 2 + kMaxWrittenName + 2 + 1
};

// Reads the next line of a stream opened in binary mode (a CR right before the LF is
// dropped here) and parses it. On a line that gives an entry (IsEntryLine), kind, digest (its
// digits in lowercase) and name (kSummaryNameSize bytes) are filled; on kLineUnrecognized, kind.
// With utf8Names (the process code page is UTF-8), a name that is well-formed UTF-8 may have up
// to kMaxSummaryName UTF-16 units; any other name, and every name without utf8Names, up to
// kMaxSummaryName bytes. A line that starts with a backslash (coreutils' escaped name) is
// rejected like any other line it cannot read.
int ParseSummaryLine(FILE* stream, DigestKind* kind, char digest[kDigestTextSize],
                     char name[kSummaryNameSize], bool utf8Names);

// Skips a UTF-8 byte order mark at the stream's position, the start of a summary: Windows text
// editors write one, and it would otherwise spoil the first line.
void SkipByteOrderMark(FILE* stream);

// The writer's form of a line, ending in CR LF, into out (kSummaryLineSize bytes are always
// enough). Returns the number of characters written.
size_t FormatSummaryLine(const char* digest, const char* name, char* out, size_t outSize);

#endif
