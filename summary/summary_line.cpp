#include "summary/summary_line.h"

#include <cstring>

#include "common/bounded_text.h"

namespace {

enum ReadOutcome { kReadNothing, kReadLine, kReadTooLong };

// Consumes the rest of an over-long line, up to and including its LF.
void SkipRestOfLine(FILE* stream) {
  int c;
  do {
    c = std::getc(stream);
  } while (c != EOF && c != '\n');
}

// Reads one line without its line end into text (kMaxSummaryLineText + 1 bytes), and its length
// in bytes. A CR is dropped only where it ends the line; NUL bytes are kept and simply end the
// text early.
ReadOutcome ReadLine(FILE* stream, char* text, size_t* lineLength) {
  size_t length = 0;
  *lineLength = 0;
  int c = std::getc(stream);
  if (c == EOF) return kReadNothing;
  for (; c != EOF && c != '\n'; c = std::getc(stream)) {
    if (c == '\r') {
      const int next = std::getc(stream);
      if (next == '\n') break;
      if (next != EOF) std::ungetc(next, stream);
    }
    if (length == kMaxSummaryLineText) {
      // The whole over-long line is one rejected line, not a series of pieces.
      SkipRestOfLine(stream);
      text[length] = '\0';
      return kReadTooLong;
    }
    text[length++] = static_cast<char>(c);
  }
  text[length] = '\0';
  *lineLength = length;
  return kReadLine;
}

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The hex digits at the start of text, counted up to one past the longest digest.
size_t CountHexDigits(const char* text) {
  size_t count = 0;
  while (count <= kMaxDigestDigits && IsHexDigit(text[count])) ++count;
  return count;
}

// The digest as the entries keep it, lowercase: coreutils takes capitals, and so do we.
void CopyDigits(const char* digits, size_t count, char digest[kDigestTextSize]) {
  FormatText(digest, kDigestTextSize, "%.*s", static_cast<int>(count), digits);
  for (char* c = digest; *c; ++c) {
    if (*c >= 'A' && *c <= 'F') *c = static_cast<char>(*c - 'A' + 'a');
  }
}

// The name's length as the limit counts it (see ParseSummaryLine).
size_t NameLength(const char* name, size_t bytes, bool utf8Names) {
  if (utf8Names && IsValidUtf8(name, bytes)) return Utf16Length(name, bytes);
  return bytes;
}

// Copies the name of bytes length when its length is within the limits.
bool TakeName(const char* text, size_t bytes, char name[kSummaryNameSize], bool utf8Names) {
  const size_t length = NameLength(text, bytes, utf8Names);
  if (length < kMinSummaryName || length > kMaxSummaryName) return false;
  FormatText(name, kSummaryNameSize, "%.*s", static_cast<int>(bytes), text);
  return true;
}

// "<digits> <marker><name>": the kind by the number of digits.
int ParsePlainLine(const char* text, DigestKind* kind, char digest[kDigestTextSize],
                   char name[kSummaryNameSize], bool utf8Names) {
  const size_t digits = CountHexDigits(text);
  const DigestKindInfo* info = KindByDigits(digits);
  if (info == nullptr || text[digits] != ' ') return kLineRejected;
  *kind = info->kind;
  const char marker = text[digits + 1];
  if (marker != ' ' && marker != '*') return kLineUnrecognized;
  const char* lineName = text + digits + 2;
  if (!TakeName(lineName, std::strlen(lineName), name, utf8Names)) return kLineRejected;
  CopyDigits(text, digits, digest);
  return marker == ' ' ? kLineTextMode : kLineBinaryMode;
}

// "<TAG> (<name>) = <digits>", the kind by its tag, as coreutils reads it: the blank before the
// parenthesis may be left out, blanks and tabs around the '=' are any, and the name runs to the
// last ')'.
int ParseTaggedLine(const char* text, DigestKind* kind, char digest[kDigestTextSize],
                    char name[kSummaryNameSize], bool utf8Names) {
  const size_t tagLength = std::strcspn(text, " (");
  const DigestKindInfo* info = KindByBsdTag(text, tagLength);
  if (info == nullptr) return kLineRejected;
  const char* open = text + tagLength;
  if (*open == ' ') ++open;
  const char* close = std::strrchr(open, ')');
  if (*open != '(' || close == nullptr) return kLineRejected;
  const char* digits = close + 1 + std::strspn(close + 1, " \t");
  if (*digits != '=') return kLineRejected;
  digits += 1 + std::strspn(digits + 1, " \t");
  const size_t count = std::strlen(digits);
  if (count != static_cast<size_t>(info->digits) || CountHexDigits(digits) != count) {
    return kLineRejected;
  }
  if (!TakeName(open + 1, static_cast<size_t>(close - open - 1), name, utf8Names)) {
    return kLineRejected;
  }
  *kind = info->kind;
  CopyDigits(digits, count, digest);
  return kLineTagged;
}

}  // namespace

int ParseSummaryLine(FILE* stream, DigestKind* kind, char digest[kDigestTextSize],
                     char name[kSummaryNameSize], bool utf8Names) {
  char text[kMaxSummaryLineText + 1];
  size_t length = 0;
  const ReadOutcome outcome = ReadLine(stream, text, &length);
  if (outcome == kReadNothing) return kLineEnd;
  if (outcome == kReadTooLong) return kLineRejected;
  if (length == 0) return kLineEmpty;
  // No tag starts with a hex digit.
  if (IsHexDigit(text[0])) return ParsePlainLine(text, kind, digest, name, utf8Names);
  return ParseTaggedLine(text, kind, digest, name, utf8Names);
}

void SkipByteOrderMark(FILE* stream) {
  static const unsigned char kMark[3] = {0xEF, 0xBB, 0xBF};
  const long start = std::ftell(stream);
  for (unsigned char expected : kMark) {
    if (std::getc(stream) != expected) {
      std::fseek(stream, start, SEEK_SET);
      return;
    }
  }
}

size_t FormatSummaryLine(const char* digest, const char* name, char* out, size_t outSize) {
  if (outSize == 0) return 0;
  FormatText(out, outSize, "%.*s *%.*s\r\n", static_cast<int>(kMaxWrittenDigest), digest,
             static_cast<int>(kMaxWrittenName), name);
  return std::strlen(out);
}
