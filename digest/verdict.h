// What reading a file says of it: the status codes that the entries keep and show.
#ifndef VELMORA_DIGEST_VERDICT_H
#define VELMORA_DIGEST_VERDICT_H

enum EntryStatus {
  kStatusNotVerified = 0,
  kStatusOk = 1,
  kStatusMismatch = 2,
  kStatusMissing = 3,
  kStatusReadError = 4,
  kStatusOutOfMemory = 5,
  kStatusInterrupted = 6
};

#endif
