// Files read several at once, their results taken in the order they were queued. Reader threads
// only open, read and digest; the thread that queues (the window's) takes each result in turn,
// showing the file it waits for and dispatching what is due while it waits, as reading does.
#ifndef VELMORA_DIGEST_READ_QUEUE_H
#define VELMORA_DIGEST_READ_QUEUE_H

#include <atomic>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>

#include "digest/file_digest.h"
#include "digest/md5.h"

struct QueuedRead {
  QueuedRead(std::string readPath, int64_t size, std::string stored)
      : path(std::move(readPath)), listedSize(size), storedDigest(std::move(stored)) {}
  const std::string path;
  const int64_t listedSize;
  const std::string storedDigest;  // empty: digest the file; else check it against this
  // The result, written by the reader before done is set.
  int verdict = 0;
  char digest[kDigestTextSize] = "";
  int32_t sizeKb = -1;
  std::atomic<uint32_t> progress{0};
  std::atomic<bool> done{false};
  bool oneAtATime = false;  // on a volume with a seek penalty: never read beside another such read
};

struct ReaderPool;

class ReadQueue {
 public:
  // Readers for the volume of volumePath (see ReaderCountFor). A file on another volume that
  // reports a seek penalty is still read while no other such file is.
  explicit ReadQueue(const char* volumePath);
  // Files still being read are dropped: blocked reads are cancelled where the system allows,
  // and the readers are waited for at most a second; a later result is thrown away.
  ~ReadQueue();
  ReadQueue(const ReadQueue&) = delete;
  ReadQueue& operator=(const ReadQueue&) = delete;

  // Queues a file. With one reader it is read here and now, as a lone reader would.
  void Push(const std::shared_ptr<QueuedRead>& read);
  // Whether the caller must take the oldest result before queueing more.
  bool Full() const;
  bool Empty() const { return inFlight_.empty(); }
  // The oldest read once it is finished; null when the user stopped (nothing is taken then).
  std::shared_ptr<QueuedRead> TakeOldest();
  int Readers() const { return readers_; }

 private:
  bool WaitFor(const QueuedRead& read);
  bool OnRotatingDisk(const std::string& path);

  enum { kWaitSlice = 10 };  // ms between looks at the queue while waiting for a result
  int readers_;
  std::atomic<bool> noCancel_{false};
  std::shared_ptr<ReaderPool> pool_;  // none with one reader
  std::deque<std::shared_ptr<QueuedRead>> inFlight_;
  std::map<std::wstring, bool> volumes_;  // volume root -> reports a seek penalty
  std::string lastFolder_;
  bool lastFolderRotating_ = false;
};

// Readers for files on the volume of path: one per logical processor (at most 8), one for a
// volume that reports a seek penalty, one in the lockstep mode of the tests; a test may set the
// count.
int ReaderCountFor(const char* path);
// Lockstep: every chunk handed over on the reading thread, so one reader.
void SetLockstepReading(bool on);
// Tests only: a reader count (0: chosen as above), and a read held back until released, so that
// results finish out of order.
void SetReaderCountForTests(int readers);
void HoldReadForTests(const char* path);
void ReleaseHeldReadForTests();
// Reads that reader threads have finished since the process started.
int FinishedReadsForTests();

#endif
