#include "summary/entry_record.h"

#include <cstring>

#include "common/bounded_text.h"
#include "common/paths.h"

namespace {

const char* const kStatusTexts[] = {
    "Not Verified", "OK", "Mismatch", "Missing", "Read Error", "Out of memory", "Interrupted"};
const int kStatusCount = static_cast<int>(sizeof(kStatusTexts) / sizeof(kStatusTexts[0]));

int Sign(int difference) { return (difference > 0) - (difference < 0); }

int CompareKeys(const SummaryEntry* a, const SummaryEntry* b, int column) {
  switch (column) {
    case kColumnName:
      // Only 'A'..'Z' fold, whatever the locale, so the order is the same on every machine.
      return AsciiCaseCompare(a->name, b->name);
    case kColumnDigest:
      // strcmp compares as unsigned char, which is the order wanted here.
      return Sign(std::strcmp(a->digest, b->digest));
    case kColumnStatus:
      return (a->status > b->status) - (a->status < b->status);
    case kColumnSize: {
      // Unsigned, so "no size" (-1) is the largest of all.
      const uint32_t x = static_cast<uint32_t>(a->sizeKb);
      const uint32_t y = static_cast<uint32_t>(b->sizeKb);
      return (x > y) - (x < y);
    }
    default:
      return 0;
  }
}

}  // namespace

const char* StatusText(int status) {
  if (status < 0 || status >= kStatusCount) return "";
  return kStatusTexts[status];
}

int CompareEntries(const SummaryEntry* a, const SummaryEntry* b, int column, bool ascending) {
  const int result = CompareKeys(a, b, column);
  return ascending ? result : -result;
}

void FormatKilobytes(int32_t sizeKb, const char* separator, char* out, size_t outSize) {
  if (outSize == 0) return;
  char digits[16];
  FormatText(digits, sizeof(digits), "%lu",
             static_cast<unsigned long>(static_cast<uint32_t>(sizeKb)));
  const size_t count = std::strlen(digits);
  out[0] = '\0';
  for (size_t i = 0; i < count; ++i) {
    const char digit[2] = {digits[i], '\0'};
    if (!AppendText(out, outSize, digit)) return;
    const size_t remaining = count - 1 - i;
    if (remaining > 0 && remaining % 3 == 0 && !AppendText(out, outSize, separator)) return;
  }
}

void FormatSizeText(int32_t sizeKb, const char* separator, char* out, size_t outSize) {
  if (outSize == 0) return;
  out[0] = '\0';
  if (sizeKb == kNoSize) return;
  FormatKilobytes(sizeKb, separator, out, outSize);
  AppendText(out, outSize, " K  ");
}
