#include "digest/file_digest.h"

#include <cstring>

#include "common/paths.h"
#include "digest/file_hasher.h"
#include "digest/file_size.h"
#include "digest/read_hook.h"
#include "digest/verdict.h"

namespace {

// Unbuffered reads need a sector-aligned buffer; VirtualAlloc gives page alignment. The
// buffer of the last file is kept for the next one: allocating it anew for each small file
// costs more than reading the file. A nested digest (none is expected) gets a buffer of its own.
// Each reading thread keeps its own.
thread_local unsigned char* SpareBuffer = nullptr;

class ReadBuffer {
 public:
  ReadBuffer() : data_(SpareBuffer) {
    SpareBuffer = nullptr;
    if (!data_) {
      data_ = static_cast<unsigned char*>(
          VirtualAlloc(nullptr, kReadChunkSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    }
  }
  ~ReadBuffer() {
    if (!data_) return;
    if (SpareBuffer) {
      VirtualFree(data_, 0, MEM_RELEASE);
    } else {
      SpareBuffer = data_;
    }
  }
  ReadBuffer(const ReadBuffer&) = delete;
  ReadBuffer& operator=(const ReadBuffer&) = delete;
  unsigned char* Get() const { return data_; }

 private:
  unsigned char* data_;
};

// Read access that lets other readers in and keeps writers out, the cache bypassed. A name
// ending in a blank or a dot is opened by its literal path, through the wide function: the
// literal form may pass the length that the ANSI functions accept.
HANDLE OpenForDigest(const char* path) {
  const DWORD flags = FILE_FLAG_NO_BUFFERING | FILE_FLAG_SEQUENTIAL_SCAN | FILE_ATTRIBUTE_NORMAL;
  char literal[kLiteralPathSize];
  if (!MakeLiteralPath(path, literal, sizeof literal)) {
    return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, flags, nullptr);
  }
  wchar_t wide[kLiteralPathSize];
  if (!MultiByteToWideChar(CP_ACP, 0, literal, -1, wide, kLiteralPathSize)) {
    return INVALID_HANDLE_VALUE;
  }
  return CreateFileW(wide, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, flags, nullptr);
}

// Opens the file and digests it; the shared first steps of DigestFile and CheckFile.
int DigestPath(DigestKind kind, const char* path, int64_t listedSize, unsigned char* digest,
               int32_t* sizeKb) {
  *sizeKb = -1;
  ReportFileStarted(path);
  HANDLE file = OpenForDigest(path);
  if (file == INVALID_HANDLE_VALUE) {
    ReportFileEnded();
    return kStatusMissing;
  }
  int result = DigestOpenFile(kind, file, digest, sizeKb, listedSize);
  CloseHandle(file);
  ReportFileEnded();
  return result;
}

// Not a verdict: the file was not read whole by one read of its listed size.
const int kNotInOneRead = 0;

// A file listed as shorter than a chunk is read whole by its first read when that read delivers
// the listed size: a short read ends at the end of the file. Asking the system for the size as
// well would cost a third of such a read. Stop and progress behave as in the chunk loop.
int DigestInOneRead(HANDLE file, unsigned char* buffer, DWORD listedSize, FileHasher* hasher,
                    unsigned char* digest, int32_t* sizeKb) {
  ReportProgress(0);
  if (PollRead(ReadPoint::kBeforeFirstRead)) return kStatusInterrupted;
  DWORD read = 0;
  if (!ReadFile(file, buffer, kReadChunkSize, &read, nullptr) || read != listedSize) {
    return kNotInOneRead;
  }
  if (!hasher->Add(buffer, read) || !hasher->Finish(digest)) return kStatusReadError;
  if (read != 0) ReportProgress(ProgressPosition(read, read));
  if (PollRead(ReadPoint::kAfterChunk)) return kStatusInterrupted;
  *sizeKb = SizeInKb(read, 0);
  return kStatusOk;
}

// Reads the file in chunks against the size the system gives for it.
int DigestChunks(HANDLE file, unsigned char* buffer, FileHasher* hasher, unsigned char* digest,
                 int32_t* sizeKb) {
  DWORD high = 0;
  DWORD low = GetFileSize(file, &high);
  int32_t kb = SizeInKb(low, high);
  uint32_t total = high == 0 ? low : 0;  // 4 GiB and more: no progress, no length test
  ReportProgress(0);
  uint32_t done = 0;
  uint32_t lastPosition = 0;
  bool failed = false;  // the read, or the hashing of what it gave
  bool stop = PollRead(ReadPoint::kBeforeFirstRead);
  while (!stop) {
    DWORD read = 0;
    failed = !ReadFile(file, buffer, kReadChunkSize, &read, nullptr);
    if (failed || read == 0) break;
    failed = !hasher->Add(buffer, read);
    if (failed) break;
    if (total != 0) {
      done += read;
      uint32_t position = ProgressPosition(done, total);
      if (position != lastPosition) ReportProgress(position);
      lastPosition = position;
    }
    stop = PollRead(ReadPoint::kAfterChunk);  // a long file still moves the progress bar
    // A short read that brings the count to the file's size ends the file: the read that would
    // only say so is left out, one call into the system in five for a small file.
    if (read < kReadChunkSize && total != 0 && done == total) break;
  }
  if (stop) return kStatusInterrupted;
  // A failed read is an error also where the length cannot be checked (empty, or 4 GiB and
  // more): the digest of part of a file must never be listed as the file's.
  if (failed || (total != 0 && done != total) || !hasher->Finish(digest)) return kStatusReadError;
  *sizeKb = kb;
  return kStatusOk;
}

}  // namespace

void ReleaseReadResources() {
  if (SpareBuffer) VirtualFree(SpareBuffer, 0, MEM_RELEASE);
  SpareBuffer = nullptr;
  ReleaseThreadHashes();
}

int DigestOpenFile(DigestKind kind, HANDLE file, unsigned char* digest, int32_t* sizeKb,
                   int64_t listedSize) {
  *sizeKb = -1;
  ReadBuffer buffer;
  if (!buffer.Get()) return kStatusOutOfMemory;
  FileHasher hasher(kind);
  if (!hasher.Ready()) return kStatusReadError;
  if (listedSize >= 0 && listedSize < kReadChunkSize) {
    auto listed = static_cast<DWORD>(listedSize);
    int verdict = DigestInOneRead(file, buffer.Get(), listed, &hasher, digest, sizeKb);
    if (verdict != kNotInOneRead) return verdict;
    // The listed size was out of date, or the read failed: start again the ordinary way.
    if (SetFilePointer(file, 0, nullptr, FILE_BEGIN) != 0) return kStatusReadError;
  }
  return DigestChunks(file, buffer.Get(), &hasher, digest, sizeKb);
}

int DigestFile(DigestKind kind, const char* path, char digestText[kDigestTextSize], int32_t* sizeKb,
               int64_t listedSize) {
  unsigned char digest[kMaxDigestSize];
  int result = DigestPath(kind, path, listedSize, digest, sizeKb);
  if (result == kStatusOk) DigestText(kind, digest, digestText);
  return result;
}

int CheckFile(DigestKind kind, const char* path, const char* storedDigest, int32_t* sizeKb) {
  unsigned char digest[kMaxDigestSize];
  int result = DigestPath(kind, path, kSizeNotListed, digest, sizeKb);
  if (result != kStatusOk) return result;
  char computed[kDigestTextSize];
  DigestText(kind, digest, computed);
  return std::strcmp(computed, storedDigest) == 0 ? kStatusOk : kStatusMismatch;
}
