#include "digest/file_hasher.h"

#include <atomic>
#include <mutex>
#include <utility>

namespace {

// CNG's name of each kind's algorithm, in the order of DigestKind; MD5 is the program's own.
const wchar_t* const kAlgorithms[kDigestKindCount] = {
    nullptr, BCRYPT_SHA1_ALGORITHM, BCRYPT_SHA256_ALGORITHM, BCRYPT_SHA512_ALGORITHM};

// Each provider is opened at most once, by whichever thread needs it first, and kept while the
// process runs; null where it did not open.
std::once_flag ProviderOpened[kDigestKindCount];
BCRYPT_ALG_HANDLE Providers[kDigestKindCount] = {};

// Set once creating a reusable hash object failed while a plain one could be made (Windows 7),
// or by a test: from then on each file gets a hash object of its own.
std::atomic<bool> ReuseUnsupported{false};
std::atomic<unsigned> UnavailableForTests{0};  // one bit per kind

// The hash object each thread keeps between its files, per kind; taken while a file is hashed,
// so a nested digest (none is expected) makes one of its own.
thread_local BCRYPT_HASH_HANDLE SpareHashes[kDigestKindCount] = {};

int IndexOf(DigestKind kind) { return static_cast<int>(kind); }

BCRYPT_ALG_HANDLE ProviderFor(DigestKind kind) {
  const int index = IndexOf(kind);
  std::call_once(ProviderOpened[index], [index] {
    BCRYPT_ALG_HANDLE provider = nullptr;
    if (BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&provider, kAlgorithms[index], nullptr, 0))) {
      Providers[index] = provider;
    }
  });
  return Providers[index];
}

// CNG allocates the object's memory itself (Windows 7 and later).
BCRYPT_HASH_HANDLE CreateHash(BCRYPT_ALG_HANDLE provider, ULONG flags) {
  BCRYPT_HASH_HANDLE hash = nullptr;
  if (!BCRYPT_SUCCESS(BCryptCreateHash(provider, &hash, nullptr, 0, nullptr, 0, flags))) {
    return nullptr;
  }
  return hash;
}

}  // namespace

bool DigestKindAvailable(DigestKind kind) {
  if (kind == DigestKind::kMd5) return true;
  if (UnavailableForTests.load() & (1u << IndexOf(kind))) return false;
  return ProviderFor(kind) != nullptr;
}

FileHasher::FileHasher(DigestKind kind) : kind_(kind) {
  if (kind == DigestKind::kMd5) {
    Md5Init(&md5_);
    ready_ = true;
    return;
  }
  if (!DigestKindAvailable(kind)) return;
  const BCRYPT_ALG_HANDLE provider = ProviderFor(kind);
  if (!ReuseUnsupported.load()) {
    hash_ = std::exchange(SpareHashes[IndexOf(kind)], nullptr);
    if (!hash_) hash_ = CreateHash(provider, BCRYPT_HASH_REUSABLE_FLAG);
    reusable_ = hash_ != nullptr;
  }
  if (!hash_) {
    hash_ = CreateHash(provider, 0);
    if (hash_) ReuseUnsupported.store(true);
  }
  ready_ = hash_ != nullptr;
}

FileHasher::~FileHasher() {
  if (kind_ == DigestKind::kMd5) {
    if (!finished_) SecureZeroMemory(&md5_, sizeof md5_);  // nothing of the data stays behind
    return;
  }
  if (!hash_) return;
  BCRYPT_HASH_HANDLE& spare = SpareHashes[IndexOf(kind_)];
  if (reusable_ && finished_ && !spare) {
    spare = hash_;  // a finished reusable object starts afresh
  } else {
    BCryptDestroyHash(hash_);
  }
}

bool FileHasher::Add(const void* data, uint32_t length) {
  if (failed_) return false;
  if (kind_ == DigestKind::kMd5) {
    Md5Update(&md5_, data, length);
    return true;
  }
  // CNG only reads the data, through a pointer it declares writable.
  failed_ = !BCRYPT_SUCCESS(
      BCryptHashData(hash_, static_cast<PUCHAR>(const_cast<void*>(data)), length, 0));
  return !failed_;
}

bool FileHasher::Finish(unsigned char* digest) {
  if (failed_) return false;
  if (kind_ == DigestKind::kMd5) {
    Md5Final(digest, &md5_);
    finished_ = true;
    return true;
  }
  const ULONG size = static_cast<ULONG>(DigestSizeOf(kind_));
  finished_ = BCRYPT_SUCCESS(BCryptFinishHash(hash_, digest, size, 0));
  failed_ = !finished_;
  return finished_;
}

void ReleaseThreadHashes() {
  for (BCRYPT_HASH_HANDLE& spare : SpareHashes) {
    if (spare) BCryptDestroyHash(spare);
    spare = nullptr;
  }
}

void SetKindUnavailableForTests(DigestKind kind, bool unavailable) {
  const unsigned bit = 1u << IndexOf(kind);
  if (unavailable) {
    UnavailableForTests.fetch_or(bit);
  } else {
    UnavailableForTests.fetch_and(~bit);
  }
}

void RefuseReusableHashesForTests(bool refuse) { ReuseUnsupported.store(refuse); }
