// The summary reader on whole files: the bytes are read back through a memory stream with
// ParseSummaryLine until its end, and every result is compared with what a plain model of the
// line format expects of that line. Accepted lines must also read back in the writer's form.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "common/utf8_text.h"
#include "digest/digest_kind.h"
#include "digest/md5.h"
#include "fuzz/fuzz_check.h"
#include "summary/summary_line.h"

namespace {

struct ExpectedLine {
  int result;
  std::string digestText;  // accepted lines only
  std::string name;        // accepted lines only
};

bool IsLowerHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }

// The lines of a file: split at each LF, a CR right before the LF is no part of the line, and
// the last line needs no LF. Nothing after the last LF means no further line.
std::vector<std::string> SplitLines(const std::string& file) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < file.size()) {
    const size_t lf = file.find('\n', start);
    if (lf == std::string::npos) {
      lines.push_back(file.substr(start));
      break;
    }
    size_t end = lf;
    if (end > start && file[end - 1] == '\r') --end;
    lines.push_back(file.substr(start, end - start));
    start = lf + 1;
  }
  return lines;
}

// The name's length as the limits count it: UTF-16 units for a UTF-8 name where names are
// UTF-8, bytes otherwise.
size_t ModelNameLength(const std::string& name, bool utf8Names) {
  if (utf8Names && IsValidUtf8(name.data(), name.size())) {
    return Utf16Length(name.data(), name.size());
  }
  return name.size();
}

ExpectedLine Expect(const std::string& line, bool utf8Names) {
  // An over-long line is one rejected line, whatever it holds.
  if (line.size() > kMaxSummaryLineText) return {kLineRejected, "", ""};
  if (line.empty()) return {kLineEmpty, "", ""};
  const std::string text = line.substr(0, line.find('\0'));  // a NUL ends the text
  if (text.size() < 32) return {kLineRejected, "", ""};
  for (size_t i = 0; i < 32; ++i) {
    if (!IsLowerHex(text[i])) return {kLineRejected, "", ""};
  }
  if (text.size() < 33 || text[32] != ' ') return {kLineRejected, "", ""};
  if (text.size() < 34 || (text[33] != ' ' && text[33] != '*')) {
    return {kLineUnrecognized, "", ""};
  }
  const std::string name = text.substr(34);
  const size_t nameLength = ModelNameLength(name, utf8Names);
  if (nameLength < kMinSummaryName || nameLength > kMaxSummaryName) {
    return {kLineRejected, "", ""};
  }
  return {text[33] == ' ' ? kLineTextMode : kLineBinaryMode, text.substr(0, 32), name};
}

// A read-only stream over a private copy of the bytes (fmemopen wants a writable pointer).
struct MemoryStream {
  explicit MemoryStream(const std::string& bytes)
      : copy(bytes.begin(), bytes.end()), stream(nullptr) {
    copy.push_back('\0');  // keeps data() valid for an empty file
    stream = fmemopen(copy.data(), bytes.size(), "rb");
    FUZZ_CHECK(stream != nullptr, "fmemopen failed");
  }
  ~MemoryStream() { std::fclose(stream); }
  MemoryStream(const MemoryStream&) = delete;
  MemoryStream& operator=(const MemoryStream&) = delete;
  std::vector<char> copy;
  FILE* stream;
};

// Exact-size heap outputs, so a write past the 16 digest bytes or the kSummaryNameSize name
// bytes is an overflow the address sanitizer reports.
struct Outputs {
  std::unique_ptr<unsigned char[]> digest{new unsigned char[kDigestSize]};
  std::unique_ptr<char[]> name{new char[kSummaryNameSize]};
};

// What the writer makes of an accepted line must read back as the same entry.
void CheckWriterFormReadsBack(const char* digestText, const char* name, bool utf8Names) {
  std::unique_ptr<char[]> line(new char[kSummaryLineSize]);
  const size_t length = FormatSummaryLine(digestText, name, line.get(), kSummaryLineSize);
  FUZZ_CHECK(length == 32 + 2 + std::strlen(name) + 2, "writer's line has the wrong length");
  FUZZ_CHECK(std::strlen(line.get()) == length, "writer's length is not the text's");

  MemoryStream written(std::string(line.get(), length));
  Outputs out;
  const int result = ParseSummaryLine(written.stream, out.digest.get(), out.name.get(), utf8Names);
  FUZZ_CHECK(result == kLineBinaryMode, "writer's line not accepted with the asterisk");
  char again[kDigestTextSize];
  DigestToHex(again, out.digest.get());
  FUZZ_CHECK(std::strcmp(again, digestText) == 0, "digest changed through the writer");
  FUZZ_CHECK(std::strcmp(out.name.get(), name) == 0, "name changed through the writer");
  FUZZ_CHECK(ParseSummaryLine(written.stream, out.digest.get(), out.name.get(), utf8Names) ==
                 kLineEnd,
             "writer's line read as more than one line");
}

// Reads the whole file as the program does where names are (or are not) UTF-8.
void CheckWholeFile(const std::string& file, bool utf8Names) {
  const std::vector<std::string> lines = SplitLines(file);
  size_t lineFeeds = 0;
  for (char c : file) lineFeeds += c == '\n';

  MemoryStream input(file);
  Outputs out;
  size_t calls = 0;
  for (;;) {
    const int result = ParseSummaryLine(input.stream, out.digest.get(), out.name.get(), utf8Names);
    if (result == kLineEnd) break;
    FUZZ_CHECK(calls < lineFeeds + 1, "more lines read than the file has line feeds + 1");
    FUZZ_CHECK(calls < lines.size(), "more lines read than the file has");
    const ExpectedLine expected = Expect(lines[calls], utf8Names);
    FUZZ_CHECK(result == expected.result, "line result differs from the model");
    if (result == kLineTextMode || result == kLineBinaryMode) {
      const size_t nameLength = strnlen(out.name.get(), kSummaryNameSize);
      FUZZ_CHECK(nameLength < kSummaryNameSize, "name not terminated within its buffer");
      FUZZ_CHECK(nameLength >= kMinSummaryName, "empty name accepted");
      FUZZ_CHECK(out.name.get() == expected.name, "name differs from the line's");
      char digestText[kDigestTextSize];
      DigestToHex(digestText, out.digest.get());
      FUZZ_CHECK(digestText == expected.digestText, "digest differs from the line's digits");
      CheckWriterFormReadsBack(digestText, out.name.get(), utf8Names);
    }
    ++calls;
  }
  FUZZ_CHECK(calls == lines.size(), "lines of the file were skipped");
  FUZZ_CHECK(ParseSummaryLine(input.stream, out.digest.get(), out.name.get(), utf8Names) ==
                 kLineEnd,
             "the end of the stream did not stay the end");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string file(reinterpret_cast<const char*>(data), size);
  CheckWholeFile(file, true);
  CheckWholeFile(file, false);
  return 0;
}
