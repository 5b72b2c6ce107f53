// Reading one file into a digest, with progress, Stop and a verdict.
#ifndef VELMORA_DIGEST_FILE_DIGEST_H
#define VELMORA_DIGEST_FILE_DIGEST_H

#include <windows.h>

#include <cstdint>

#include "digest/digest_kind.h"

enum { kReadChunkSize = 32768 };

// The size a directory listing gave for a file, or kSizeNotListed. A file listed as shorter than
// a chunk is read without asking the system for its size, when its one read delivers that size;
// otherwise it is read the ordinary way. The verdict is the same either way.
const int64_t kSizeNotListed = -1;

// Verdicts are EntryStatus codes; the digest text is written only on OK. A digest of the kind
// that cannot be computed (its provider did not open, or failed during the file) is a Read Error.
int DigestFile(DigestKind kind, const char* path, char digestText[kDigestTextSize], int32_t* sizeKb,
               int64_t listedSize = kSizeNotListed);
// storedDigest: the kind's text, lowercase.
int CheckFile(DigestKind kind, const char* path, const char* storedDigest, int32_t* sizeKb);
// digest: DigestSizeOf(kind) bytes.
int DigestOpenFile(DigestKind kind, HANDLE file, unsigned char* digest, int32_t* sizeKb,
                   int64_t listedSize = kSizeNotListed);
// Frees what the calling thread keeps between files, its read buffer and hash objects (a reader
// thread, as it ends).
void ReleaseReadResources();

#endif
