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

bool ParseDigest(const char* text, unsigned char digest[16]) {
  for (int i = 0; i < 16; ++i) {
    // Stops at the first bad digit, so a short text is never read past its end.
    const int high = HexDigitValue(static_cast<unsigned char>(text[2 * i]));
    if (high < 0) return false;
    const int low = HexDigitValue(static_cast<unsigned char>(text[2 * i + 1]));
    if (low < 0) return false;
    digest[i] = static_cast<unsigned char>(16 * high + low);
  }
  return true;
}

// The name's length as the limit counts it (see ParseSummaryLine).
size_t NameLength(const char* name, bool utf8Names) {
  const size_t bytes = std::strlen(name);
  if (utf8Names && IsValidUtf8(name, bytes)) return Utf16Length(name, bytes);
  return bytes;
}

int ParseLineText(const char* text, unsigned char digest[16], char name[kSummaryNameSize],
                  bool utf8Names) {
  if (!ParseDigest(text, digest)) return kLineRejected;
  if (text[32] != ' ') return kLineRejected;
  int result;
  if (text[33] == ' ') {
    result = kLineTextMode;
  } else if (text[33] == '*') {
    result = kLineBinaryMode;
  } else {
    return kLineUnrecognized;
  }
  const char* lineName = text + 34;
  const size_t nameLength = NameLength(lineName, utf8Names);
  if (nameLength < kMinSummaryName || nameLength > kMaxSummaryName) return kLineRejected;
  CopyText(name, kSummaryNameSize, lineName);
  return result;
}

}  // namespace

int HexDigitValue(int c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

int ParseSummaryLine(FILE* stream, unsigned char digest[16], char name[kSummaryNameSize],
                     bool utf8Names) {
  char text[kMaxSummaryLineText + 1];
  size_t length = 0;
  const ReadOutcome outcome = ReadLine(stream, text, &length);
  if (outcome == kReadNothing) return kLineEnd;
  if (outcome == kReadTooLong) return kLineRejected;
  if (length == 0) return kLineEmpty;
  return ParseLineText(text, digest, name, utf8Names);
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
