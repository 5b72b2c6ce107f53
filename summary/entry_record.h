// The record behind each list entry, its status texts, its sort order and its size text.
#ifndef VELMORA_SUMMARY_ENTRY_RECORD_H
#define VELMORA_SUMMARY_ENTRY_RECORD_H

#include <cstddef>
#include <cstdint>

#include "digest/verdict.h"

enum { kNoSize = -1, kSizeTextSize = 64 };

// "" for a code outside 0..6.
const char* StatusText(int status);

struct SummaryEntry {
  int32_t status;
  int32_t sizeKb;  // kNoSize, or a count read as unsigned
  char digest[129];
  // Kept at its own length in the record's own allocation: a name may take up to three bytes a
  // character in UTF-8, and most names are short.
  const char* name;
};

enum EntryColumn { kColumnName = 0, kColumnDigest = 1, kColumnStatus = 2, kColumnSize = 3 };

// -1, 0 or +1 by the key of column, negated when descending; 0 for an unknown column.
int CompareEntries(const SummaryEntry* a, const SummaryEntry* b, int column, bool ascending);

// The unsigned value of sizeKb in decimal, with separator (whole, any length) between
// groups of three digits.
void FormatKilobytes(int32_t sizeKb, const char* separator, char* out, size_t outSize);

// The Size column text: "" for kNoSize, else the grouped number and " K  ".
void FormatSizeText(int32_t sizeKb, const char* separator, char* out, size_t outSize);

#endif
