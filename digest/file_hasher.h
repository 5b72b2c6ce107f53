// One file's digest of a given kind, fed in pieces: MD5 by the program's own engine, the SHA
// kinds by Windows' CNG. Each SHA provider is opened once per process, when first needed; each
// thread keeps one reusable hash object per kind between its files (where Windows cannot reuse
// hash objects, as Windows 7 cannot, each file gets one of its own).
#ifndef VELMORA_DIGEST_FILE_HASHER_H
#define VELMORA_DIGEST_FILE_HASHER_H

#include <windows.h>

#include <bcrypt.h>

#include <cstdint>

#include "digest/digest_kind.h"
#include "digest/md5.h"

// Whether digests of this kind can be computed here: always for MD5; for a SHA kind, whether
// its provider opens.
bool DigestKindAvailable(DigestKind kind);

class FileHasher {
 public:
  explicit FileHasher(DigestKind kind);
  // A hash left unfinished (the read stopped or failed) is never reused with its partial data.
  ~FileHasher();
  FileHasher(const FileHasher&) = delete;
  FileHasher& operator=(const FileHasher&) = delete;

  // False when the digest cannot be computed (the kind's provider did not open).
  bool Ready() const { return ready_; }
  // False when the system failed to take the data: the digest is then lost.
  bool Add(const void* data, uint32_t length);
  // Writes DigestSizeOf(kind) bytes; false when the system failed to give them, or to take
  // some of the data before.
  bool Finish(unsigned char* digest);

 private:
  DigestKind kind_;
  Md5Context md5_;
  BCRYPT_HASH_HANDLE hash_ = nullptr;
  bool reusable_ = false;  // hash_ goes back to the thread for its next file once finished
  bool ready_ = false;
  bool failed_ = false;
  bool finished_ = false;
};

// Releases the hash objects the calling thread keeps (a reader thread, as it ends).
void ReleaseThreadHashes();

// Tests only: a kind whose provider acts as if it had not opened, and hash objects made as where
// Windows cannot reuse them (Windows 7).
void SetKindUnavailableForTests(DigestKind kind, bool unavailable);
void RefuseReusableHashesForTests(bool refuse);

#endif
