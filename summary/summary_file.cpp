#include "summary/summary_file.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "common/bounded_text.h"
#include "common/code_pages.h"
#include "common/paths.h"
#include "common/win_guards.h"
#include "digest/file_hasher.h"
#include "summary/document_state.h"
#include "summary/entries.h"
#include "summary/operation_hook.h"
#include "summary/summary_line.h"
#include "summary/summary_reader.h"

namespace {

const char kWriteFailed[] = "Cannot write to output file";

class StdioFile {
 public:
  explicit StdioFile(std::FILE* file) : file_(file) {}
  ~StdioFile() {
    if (file_) std::fclose(file_);
  }
  StdioFile(const StdioFile&) = delete;
  StdioFile& operator=(const StdioFile&) = delete;
  std::FILE* Get() const { return file_; }

 private:
  std::FILE* file_;
};

// Collects lines and hands them to the file in large writes, remembering any failure.
class LineWriter {
 public:
  explicit LineWriter(HANDLE file) : file_(file) {}
  void Add(const char* text, size_t length) {
    if (used_ + length > sizeof buffer_) Flush();
    std::memcpy(buffer_ + used_, text, length);
    used_ += length;
  }
  bool Flush() {
    if (used_ > 0 && ok_) {
      DWORD written = 0;
      ok_ = WriteFile(file_, buffer_, static_cast<DWORD>(used_), &written, nullptr) &&
            written == used_;
    }
    used_ = 0;
    return ok_;
  }

 private:
  HANDLE file_;
  char buffer_[65536];
  size_t used_ = 0;
  bool ok_ = true;
};

bool WriteAllLines(HANDLE file) {
  LineWriter writer(file);
  int count = EntryCount();
  for (int index = 0; index < count; ++index) {
    char line[kSummaryLineSize];
    writer.Add(line, FormatEntryLine(index, line));
  }
  return writer.Flush();
}

// A new file beside the target, so the final rename never crosses volumes, named here rather
// than by GetTempFileName, which takes at most 246 characters of folder: a save works wherever
// the target itself can be written.
HANDLE CreateTemporaryBeside(const char* target, std::wstring* temporary) {
  std::string directory(target, BaseName(target));  // with its separator
  if (directory.empty()) directory = ".\\";
  const DWORD seed = GetTickCount() ^ (GetCurrentProcessId() << 16);
  for (DWORD attempt = 0; attempt < 64; ++attempt) {
    char name[16];
    const unsigned long number = (seed + attempt) & 0xFFFF;
    FormatText(name, sizeof name, "dvx%04lX.tmp", number);
    *temporary = WidePath((directory + name).c_str());
    HANDLE file = CreateFileW(temporary->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

// Windows refuses to replace a read-only file by rename, but Wine does (and so does a write
// run as root there): the attribute is checked here, so a read-only summary is never replaced.
bool TargetIsReadOnly(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

// A summary name may use all 260 characters, one more than a path buffer holds: with no Base
// Directory (as while loading) it is kept whole, only its backslashes turned into slashes.
bool EntryNameFromLine(char* name) {
  if (BaseDirectory()[0] == '\0') {
    ToSlashes(name);
    return true;
  }
  char relative[kPathTextSize];
  if (!RelativeToBase(name, relative)) return false;
  CopyText(name, kSummaryNameSize, relative);
  return true;
}

// Lists the entry of a line: kStop when memory ran out (the document is then empty: half a
// summary would be saved as the whole).
SummaryLineSink::Taken TakeLine(const char* digest, const char* lineName) {
  // A name in the legacy code page (an earlier version's summary) becomes UTF-8; a name that is
  // neither is a line that does not fit, like any other.
  char name[kSummaryNameSize];
  if (!FileTextToProcessCodePage(lineName, name, sizeof name) || !EntryNameFromLine(name)) {
    return SummaryLineSink::Taken::kNotListed;
  }
  if (AppendEntry(name, digest, kStatusNotVerified, -1)) return SummaryLineSink::Taken::kListed;
  ClearEntries();
  TellUser("Out of memory");
  return SummaryLineSink::Taken::kStop;
}

// Whether the kind can be computed here; tells the user when it cannot.
bool KindUsable(DigestKind kind) {
  if (DigestKindAvailable(kind)) return true;
  char text[80];
  FormatText(text, sizeof text, "%s is not available on this system", KindInfo(kind).displayName);
  TellUser(text);
  return false;
}

// The entries get the summary's lines; the user hears of what stops or spoils the reading.
class EntryListSink : public SummaryLineSink {
 public:
  bool KindSettled(DigestKind kind) override { return KindUsable(kind); }
  Taken Take(const char* digest, const char* name) override { return TakeLine(digest, name); }
  void Unrecognized() override { TellUser("Unrecognized line"); }
};

// Reads no further than the line that settles the summary's kind.
class KindSink : public SummaryLineSink {
 public:
  bool KindSettled(DigestKind) override { return false; }
  Taken Take(const char*, const char*) override { return Taken::kStop; }
  void Unrecognized() override {}
};

bool WriteTemporaryFile(HANDLE created) {
  FileHandle file(created);
  if (!file.IsValid()) return false;
  bool ok = WriteAllLines(file.Get());
  ok = FlushFileBuffers(file.Get()) && ok;
  return file.Close() && ok;
}

}  // namespace

size_t FormatEntryLine(int index, char line[kSummaryLineSize]) {
  char digest[kMaxWrittenDigest + 1];
  char name[kMaxWrittenName + 1];
  GetEntryText(index, kColumnDigest, digest, sizeof digest);
  GetEntryText(index, kColumnName, name, sizeof name);
  return FormatSummaryLine(digest, name, line, kSummaryLineSize);
}

bool RelativeToBase(const char* path, char* relative) {
  if (RelativeName(BaseDirectory(), path, relative)) return true;
  TellUser("INTERNAL ERROR: file outside the base directory");
  return false;
}

bool ReadSummaryFile(const char* path) {
  StdioFile file(std::fopen(path, "rb"));
  if (!file.Get()) {
    // Named after the kind its name gives, else the document's.
    const DigestKindInfo* named = KindOfSummaryName(path);
    char text[48];
    FormatText(text, sizeof text, "Cannot open %s file",
               (named ? *named : KindInfo(DocumentDigestKind())).displayName);
    TellUser(text);
    return false;
  }
  AppendBatch batch;  // the view follows once, at the end
  SetUnreadLineCount(0);
  EntryListSink sink;
  const SummaryReading reading = ReadSummaryLines(file.Get(), path, ProcessCodePageIsUtf8(), &sink);
  if (reading.stopped) return false;
  SetDocumentDigestKind(reading.kind);
  // Lines that gave no entry are never lost without a word.
  SetUnreadLineCount(reading.notRead);
  return true;
}

bool SummaryKindUsable(const char* path) {
  StdioFile file(std::fopen(path, "rb"));
  if (!file.Get()) return true;  // reading it says why it cannot be read
  KindSink sink;
  const SummaryReading reading = ReadSummaryLines(file.Get(), path, ProcessCodePageIsUtf8(), &sink);
  return KindUsable(reading.kind);
}

bool WriteSummaryFile(const char* path) {
  std::wstring temporary;
  HANDLE created = TargetIsReadOnly(path) ? INVALID_HANDLE_VALUE
                                          : CreateTemporaryBeside(path, &temporary);
  bool written = created != INVALID_HANDLE_VALUE;
  if (written) {
    written = WriteTemporaryFile(created) &&
              MoveFileExW(temporary.c_str(), WidePath(path).c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!written) DeleteFileW(temporary.c_str());
  }
  if (!written) {
    TellUser(kWriteFailed);
    return false;
  }
  SetModified(false);
  SetUnreadLineCount(0);  // the file now holds exactly the entries
  return true;
}
