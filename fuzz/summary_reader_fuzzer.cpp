// The summary reader on whole files: the bytes are read back through a memory stream with
// ParseSummaryLine until its end, and every result is compared with what a plain model of the
// line forms expects of that line. Accepted lines must also read back in the writer's form. The
// whole file is then read as a summary, under a name that gives no kind and under one that does,
// and the kind, entries and lines not read are compared with the model's.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "common/utf8_text.h"
#include "digest/digest_kind.h"
#include "fuzz/fuzz_check.h"
#include "summary/summary_line.h"
#include "summary/summary_reader.h"

namespace {

struct ExpectedLine {
  int result;
  DigestKind kind;         // lines of a kind only
  std::string digestText;  // accepted lines only
  std::string name;        // accepted lines only
};

// The kinds as the lines name them: by their tag, or by their number of digits.
struct ModelKind {
  DigestKind kind;
  const char* tag;
  size_t digits;
};
const ModelKind kModelKinds[] = {{DigestKind::kMd5, "MD5", 32},
                                 {DigestKind::kSha1, "SHA1", 40},
                                 {DigestKind::kSha256, "SHA256", 64},
                                 {DigestKind::kSha512, "SHA512", 128}};

bool IsHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool AllHex(const std::string& text) {
  for (char c : text) {
    if (!IsHex(c)) return false;
  }
  return true;
}

std::string Lowercase(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

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

bool NameFits(const std::string& name, bool utf8Names) {
  const size_t length = ModelNameLength(name, utf8Names);
  return length >= kMinSummaryName && length <= kMaxSummaryName;
}

const ExpectedLine kRejected = {kLineRejected, DigestKind::kMd5, "", ""};

// "<digits> <marker><name>".
ExpectedLine ExpectPlain(const std::string& text, bool utf8Names) {
  size_t digits = 0;
  while (digits < text.size() && IsHex(text[digits])) ++digits;
  for (const ModelKind& model : kModelKinds) {
    if (model.digits != digits) continue;
    if (text.size() < digits + 1 || text[digits] != ' ') return kRejected;
    if (text.size() < digits + 2 || (text[digits + 1] != ' ' && text[digits + 1] != '*')) {
      return {kLineUnrecognized, model.kind, "", ""};
    }
    const std::string name = text.substr(digits + 2);
    if (!NameFits(name, utf8Names)) return kRejected;
    return {text[digits + 1] == ' ' ? kLineTextMode : kLineBinaryMode, model.kind,
            Lowercase(text.substr(0, digits)), name};
  }
  return kRejected;
}

// "<TAG>[ ](<name>)[blanks]=[blanks]<digits>", the name up to the last ')'.
ExpectedLine ExpectTagged(const std::string& text, bool utf8Names) {
  for (const ModelKind& model : kModelKinds) {
    if (text.compare(0, std::strlen(model.tag), model.tag) != 0) continue;
    std::string rest = text.substr(std::strlen(model.tag));
    if (!rest.empty() && rest[0] == ' ') rest.erase(0, 1);
    const size_t close = rest.rfind(')');
    if (rest.empty() || rest[0] != '(' || close == std::string::npos) return kRejected;
    const std::string name = rest.substr(1, close - 1);
    std::string tail = rest.substr(close + 1);
    tail.erase(0, tail.find_first_not_of(" \t"));
    if (tail.empty() || tail[0] != '=') return kRejected;
    tail.erase(0, 1);
    tail.erase(0, tail.find_first_not_of(" \t"));
    if (tail.size() != model.digits || !AllHex(tail) || !NameFits(name, utf8Names)) {
      return kRejected;
    }
    return {kLineTagged, model.kind, Lowercase(tail), name};
  }
  return kRejected;
}

ExpectedLine Expect(const std::string& line, bool utf8Names) {
  // An over-long line is one rejected line, whatever it holds.
  if (line.size() > kMaxSummaryLineText) return kRejected;
  if (line.empty()) return {kLineEmpty, DigestKind::kMd5, "", ""};
  const std::string text = line.substr(0, line.find('\0'));  // a NUL ends the text
  if (!text.empty() && IsHex(text[0])) return ExpectPlain(text, utf8Names);
  return ExpectTagged(text, utf8Names);
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

// Exact-size heap outputs, so a write past the kDigestTextSize digest bytes or the
// kSummaryNameSize name bytes is an overflow the address sanitizer reports.
struct Outputs {
  DigestKind kind = DigestKind::kMd5;
  std::unique_ptr<char[]> digest{new char[kDigestTextSize]};
  std::unique_ptr<char[]> name{new char[kSummaryNameSize]};
  int Parse(FILE* stream, bool utf8Names) {
    return ParseSummaryLine(stream, &kind, digest.get(), name.get(), utf8Names);
  }
};

// What the writer makes of an accepted line must read back as the same entry.
void CheckWriterFormReadsBack(DigestKind kind, const char* digestText, const char* name,
                              bool utf8Names) {
  std::unique_ptr<char[]> line(new char[kSummaryLineSize]);
  const size_t length = FormatSummaryLine(digestText, name, line.get(), kSummaryLineSize);
  FUZZ_CHECK(length == std::strlen(digestText) + 2 + std::strlen(name) + 2,
             "writer's line has the wrong length");
  FUZZ_CHECK(std::strlen(line.get()) == length, "writer's length is not the text's");

  MemoryStream written(std::string(line.get(), length));
  Outputs out;
  FUZZ_CHECK(out.Parse(written.stream, utf8Names) == kLineBinaryMode,
             "writer's line not accepted with the asterisk");
  FUZZ_CHECK(out.kind == kind, "kind changed through the writer");
  FUZZ_CHECK(std::strcmp(out.digest.get(), digestText) == 0, "digest changed through the writer");
  FUZZ_CHECK(std::strcmp(out.name.get(), name) == 0, "name changed through the writer");
  FUZZ_CHECK(out.Parse(written.stream, utf8Names) == kLineEnd,
             "writer's line read as more than one line");
}

// Reads the whole file line by line as the program does where names are (or are not) UTF-8.
void CheckEveryLine(const std::string& file, bool utf8Names) {
  const std::vector<std::string> lines = SplitLines(file);
  size_t lineFeeds = 0;
  for (char c : file) lineFeeds += c == '\n';

  MemoryStream input(file);
  Outputs out;
  size_t calls = 0;
  for (;;) {
    const int result = out.Parse(input.stream, utf8Names);
    if (result == kLineEnd) break;
    FUZZ_CHECK(calls < lineFeeds + 1, "more lines read than the file has line feeds + 1");
    FUZZ_CHECK(calls < lines.size(), "more lines read than the file has");
    const ExpectedLine expected = Expect(lines[calls], utf8Names);
    FUZZ_CHECK(result == expected.result, "line result differs from the model");
    if (result == kLineUnrecognized) FUZZ_CHECK(out.kind == expected.kind, "kind differs");
    if (IsEntryLine(result)) {
      const size_t nameLength = strnlen(out.name.get(), kSummaryNameSize);
      FUZZ_CHECK(nameLength < kSummaryNameSize, "name not terminated within its buffer");
      FUZZ_CHECK(nameLength >= kMinSummaryName, "empty name accepted");
      FUZZ_CHECK(out.name.get() == expected.name, "name differs from the line's");
      FUZZ_CHECK(out.kind == expected.kind, "kind differs from the line's");
      FUZZ_CHECK(out.digest.get() == expected.digestText, "digest differs from the line's digits");
      CheckWriterFormReadsBack(out.kind, out.digest.get(), out.name.get(), utf8Names);
    }
    ++calls;
  }
  FUZZ_CHECK(calls == lines.size(), "lines of the file were skipped");
  FUZZ_CHECK(out.Parse(input.stream, utf8Names) == kLineEnd,
             "the end of the stream did not stay the end");
}

class Recorder : public SummaryLineSink {
 public:
  bool KindSettled(DigestKind kind) override {
    settled.push_back(kind);
    return true;
  }
  Taken Take(const char* digest, const char* name) override {
    entries.push_back(std::string(digest) + "*" + name);
    return Taken::kListed;
  }
  void Unrecognized() override { ++unrecognized; }
  std::vector<DigestKind> settled;
  std::vector<std::string> entries;
  int unrecognized = 0;
};

// The whole file read as a summary under that name against the model: the kind is the name's,
// else the first entry line's; only lines of the kind give entries or the box.
void CheckSummary(const std::string& file, const char* path, const DigestKind* named) {
  const std::string mark = "\xEF\xBB\xBF";
  const bool marked = file.compare(0, mark.size(), mark) == 0;
  Recorder expected;
  DigestKind kind = named ? *named : DigestKind::kMd5;
  bool settled = named != nullptr;
  if (settled) expected.settled.push_back(kind);
  int notRead = 0;
  for (const std::string& line : SplitLines(marked ? file.substr(mark.size()) : file)) {
    const ExpectedLine e = Expect(line, true);
    if (e.result == kLineEmpty) continue;
    const bool entry =
        e.result == kLineTextMode || e.result == kLineBinaryMode || e.result == kLineTagged;
    if (entry && !settled) {
      settled = true;
      kind = e.kind;
      expected.settled.push_back(kind);
    }
    expected.unrecognized += e.result == kLineUnrecognized && e.kind == kind;
    if (entry && e.kind == kind) {
      expected.entries.push_back(e.digestText + "*" + e.name);
    } else {
      ++notRead;
    }
  }
  MemoryStream input(file);
  Recorder seen;
  const SummaryReading reading = ReadSummaryLines(input.stream, path, true, &seen);
  FUZZ_CHECK(!reading.stopped, "reading stopped though nothing asked it to");
  FUZZ_CHECK(reading.kind == kind, "summary's kind differs from the model");
  FUZZ_CHECK(seen.settled == expected.settled, "kind settled otherwise than the model");
  FUZZ_CHECK(seen.entries == expected.entries, "entries differ from the model");
  FUZZ_CHECK(seen.unrecognized == expected.unrecognized, "boxes differ from the model");
  FUZZ_CHECK(reading.notRead == notRead, "lines not read differ from the model");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string file(reinterpret_cast<const char*>(data), size);
  CheckEveryLine(file, true);
  CheckEveryLine(file, false);
  CheckSummary(file, "SHA256SUMS", nullptr);
  const DigestKind sha1 = DigestKind::kSha1;
  CheckSummary(file, "C:\\sums\\list.SHA1", &sha1);
  return 0;
}
