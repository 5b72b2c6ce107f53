// Reading one file into a digest, with progress, Stop and a verdict.
#ifndef VELMORA_DIGEST_FILE_DIGEST_H
#define VELMORA_DIGEST_FILE_DIGEST_H

#include <windows.h>

#include <cstdint>

#include "digest/md5.h"

enum { kReadChunkSize = 32768 };

// Verdicts are EntryStatus codes; the digest text is written only on OK.
int DigestFile(const char* path, char digestText[kDigestTextSize], int32_t* sizeKb);
int CheckFile(const char* path, const char* storedDigest, int32_t* sizeKb);
int DigestOpenFile(HANDLE file, unsigned char digest[16], int32_t* sizeKb);

// Takes every pending message off the queue and dispatches it (no accelerators).
void PumpMessages();
void SetStatusText(const char* text);
void ResetProgress();

#endif
