// Shared by the tests of the kinds of digest: the published digests of a few texts for every
// kind (RFC 1321 for MD5, FIPS 180 for the SHA kinds), and a kind made to act unavailable.
#ifndef VELMORA_TESTS_WIN_KNOWN_DIGESTS_H
#define VELMORA_TESTS_WIN_KNOWN_DIGESTS_H

#include <string>

#include "digest/digest_kind.h"
#include "digest/file_hasher.h"

namespace testsupport {

// The digests of "abc", of nothing, and of a million 'a'.
struct KnownDigests {
  DigestKind kind;
  std::string abc, empty, million;
};

inline const KnownDigests kKnownDigests[] = {
    {DigestKind::kMd5, "900150983cd24fb0d6963f7d28e17f72", "d41d8cd98f00b204e9800998ecf8427e",
     "7707d6ae4e027c70eea2a935c2296f21"},
    {DigestKind::kSha1, "a9993e364706816aba3e25717850c26c9cd0d89d",
     "da39a3ee5e6b4b0d3255bfef95601890afd80709", "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
    {DigestKind::kSha256, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad",
     "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855",
     "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    {DigestKind::kSha512,
     "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a"
     "2192992a274fc1a836ba3c23a3feebbd454d4423643ce80e2a9ac94fa54ca49f",
     "cf83e1357eefb8bdf1542850d66d8007d620e4050b5715dc83f4a921d36ce9ce"
     "47d0d13c5d85f2b0ff8318d2877eec2f63b931bd47417a81a538327af927da3e",
     "e718483d0ce769644e2e42c7bc15b4638e1f98b13b2044285632a803afa973eb"
     "de0ff244877ea60a4cb0432ce577c31beb009c5c2c49aa2e4eadb217ad8cc09b"},
};

// While it lives, the kind acts as if its provider had not opened.
class UnavailableKind {
 public:
  explicit UnavailableKind(DigestKind kind) : kind_(kind) {
    SetKindUnavailableForTests(kind, true);
  }
  ~UnavailableKind() { SetKindUnavailableForTests(kind_, false); }
  UnavailableKind(const UnavailableKind&) = delete;
  UnavailableKind& operator=(const UnavailableKind&) = delete;

 private:
  DigestKind kind_;
};

}  // namespace testsupport

#endif
