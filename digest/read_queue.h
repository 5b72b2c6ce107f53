// Files read several at once, their results taken in the order they were queued. Reader threads
// only open, read and digest; the thread that queues (the window's) takes each result in turn,
// showing the file it waits for and dispatching what is due while it waits, as reading does.
// Each item carries the caller's own tag, so the caller keeps no second queue in step with this
// one; an item with nothing to read is taken in its turn like the rest.
#ifndef VELMORA_DIGEST_READ_QUEUE_H
#define VELMORA_DIGEST_READ_QUEUE_H

#include <atomic>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <new>
#include <string>

#include "digest/digest_kind.h"
#include "digest/file_digest.h"

struct QueuedRead {
  QueuedRead(DigestKind digestKind, std::string readPath, int64_t size, std::string stored)
      : kind(digestKind),
        path(std::move(readPath)),
        listedSize(size),
        storedDigest(std::move(stored)) {}
  virtual ~QueuedRead() = default;
  const DigestKind kind;           // the digest the file is read into
  const std::string path;          // empty: nothing to read, taken in its turn as it is
  const int64_t listedSize;
  const std::string storedDigest;  // empty: digest the file; else check it against this
  // The result, written by the reader before done is set.
  int verdict = 0;
  char digest[kDigestTextSize] = "";
  int32_t sizeKb = -1;
  std::atomic<uint32_t> progress{0};
  std::atomic<bool> done{false};
  bool oneAtATime = false;  // on a volume with a seek penalty: never read beside another such read
  bool NeedsReading() const { return !path.empty(); }
};

template <typename Tag>
struct TaggedRead : QueuedRead {
  TaggedRead(Tag ownTag, DigestKind kind, std::string readPath, int64_t size, std::string stored)
      : QueuedRead(kind, std::move(readPath), size, std::move(stored)), tag(std::move(ownTag)) {}
  Tag tag;
};

struct ReaderPool;

class ReadQueue {
 public:
  // That many readers (see ReaderCountFor); one reads each file as it is queued, on the calling
  // thread. A file on a volume that reports a seek penalty is read while no other such file is.
  explicit ReadQueue(int readers);
  // Files still being read are dropped: blocked reads are cancelled where the system allows,
  // and the readers are waited for at most a second; a later result is thrown away.
  ~ReadQueue();
  ReadQueue(const ReadQueue&) = delete;
  ReadQueue& operator=(const ReadQueue&) = delete;

  // Queues an item; false, with nothing queued, when memory ran out.
  bool Push(const std::shared_ptr<QueuedRead>& read);
  // Whether the caller must take the oldest result before queueing more.
  bool Full() const;
  bool Empty() const { return inFlight_.empty(); }
  // The oldest item once it is finished; null when the user stopped (nothing is taken then).
  std::shared_ptr<QueuedRead> TakeOldest();
  int Readers() const { return readers_; }

 private:
  bool Read(const std::shared_ptr<QueuedRead>& read);
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

// A read queue whose items come back with the caller's tag.
template <typename Tag>
class TaggedReadQueue {
 public:
  explicit TaggedReadQueue(int readers) : queue_(readers) {}
  // Queues a file to read into a digest of that kind (storedDigest empty: digest it; else check
  // it against that); false, with nothing queued, when memory ran out.
  bool PushRead(Tag tag, DigestKind kind, std::string path, int64_t listedSize,
                std::string storedDigest) {
    return PushItem(std::move(tag), kind, std::move(path), listedSize, std::move(storedDigest));
  }
  // Queues a tag with nothing to read (so of no kind that matters), taken in its turn; false
  // when memory ran out.
  bool PushUnread(Tag tag) {
    return PushItem(std::move(tag), DigestKind::kMd5, std::string(), -1, std::string());
  }
  bool Full() const { return queue_.Full(); }
  bool Empty() const { return queue_.Empty(); }
  std::shared_ptr<TaggedRead<Tag>> TakeOldest() {
    return std::static_pointer_cast<TaggedRead<Tag>>(queue_.TakeOldest());
  }

 private:
  bool PushItem(Tag tag, DigestKind kind, std::string path, int64_t listedSize,
                std::string storedDigest) {
    std::shared_ptr<TaggedRead<Tag>> item;
    try {
      item = std::make_shared<TaggedRead<Tag>>(std::move(tag), kind, std::move(path), listedSize,
                                               std::move(storedDigest));
    } catch (const std::bad_alloc&) {
      return false;
    }
    return queue_.Push(item);
  }

  ReadQueue queue_;
};

// Readers for files on the volume of path: one per logical processor (at most 8), one for a
// volume that reports a seek penalty.
int ReaderCountFor(const char* path);
// Tests only: a reader count for every operation (0: none set), and a read held back until
// released, so that results finish out of order.
void SetReaderCountForTests(int readers);
int ReaderCountForTests();
void HoldReadForTests(const char* path);
void ReleaseHeldReadForTests();
// Reads that reader threads have finished since the process started.
int FinishedReadsForTests();

#endif
