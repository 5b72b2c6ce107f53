#include "common/utf8_text.h"

namespace {

// The length of the sequence a lead byte starts, 0 for a byte that cannot lead one.
size_t SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;  // a continuation byte, an overlong lead (C0, C1) or beyond U+10FFFF (F5..FF)
}

// The allowed range of the byte after the lead: it rules out overlong forms (E0, F0),
// surrogates (ED) and code points above U+10FFFF (F4).
bool SecondByteFits(unsigned char lead, unsigned char second) {
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead == 0xE0) low = 0xA0;
  if (lead == 0xED) high = 0x9F;
  if (lead == 0xF0) low = 0x90;
  if (lead == 0xF4) high = 0x8F;
  return second >= low && second <= high;
}

bool IsContinuation(unsigned char byte) { return byte >= 0x80 && byte <= 0xBF; }

}  // namespace

bool IsValidUtf8(const char* text, size_t length) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  size_t at = 0;
  while (at < length) {
    const size_t sequence = SequenceLength(bytes[at]);
    if (sequence == 0 || sequence > length - at) return false;
    if (sequence > 1 && !SecondByteFits(bytes[at], bytes[at + 1])) return false;
    for (size_t i = 2; i < sequence; ++i) {
      if (!IsContinuation(bytes[at + i])) return false;
    }
    at += sequence;
  }
  return true;
}

size_t Utf8WholeLength(const char* text, size_t length) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  size_t lead = length;
  // The last lead byte lies at most three bytes back from the end.
  for (size_t back = 1; back <= 4 && back <= length; ++back) {
    if (!IsContinuation(bytes[length - back])) {
      lead = length - back;
      break;
    }
  }
  if (lead == length) return length;  // only continuation bytes at the end: nothing to judge
  const size_t sequence = SequenceLength(bytes[lead]);
  return sequence > length - lead ? lead : length;
}

size_t Utf16Length(const char* text, size_t length) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  size_t units = 0;
  for (size_t at = 0; at < length; ++at) {
    if (IsContinuation(bytes[at])) continue;
    units += bytes[at] >= 0xF0 ? 2 : 1;
  }
  return units;
}
