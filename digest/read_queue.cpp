#include "digest/read_queue.h"

#include <windows.h>

#include <winioctl.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/code_pages.h"
#include "common/memory_seam.h"
#include "digest/read_hook.h"
#include "digest/reader_count.h"
#include "digest/verdict.h"

namespace {

int ReadersForTests = 0;
std::atomic<int> FinishedReads{0};

// The read a test holds back, and whether it may go on.
std::mutex HoldLock;
std::condition_variable HoldReleased;
std::string HeldPath;
bool HoldOpen = true;

// The read a reader thread is busy with: what the reading code reports goes there.
thread_local QueuedRead* CurrentRead = nullptr;
thread_local std::atomic<bool>* CurrentCancel = nullptr;

void IgnorePath(const char*) {}
void IgnoreEnd() {}
void NoteProgress(uint32_t position) { CurrentRead->progress.store(position); }
bool PollOnReader(ReadPoint) { return StopRequested() || CurrentCancel->load(); }

// A reader thread shows nothing and dispatches nothing.
const ReadHook kReaderHook = {IgnorePath, IgnoreEnd, NoteProgress, PollOnReader};

// The root of the volume a path lies on ("C:\\", or a folder where a volume is mounted); "" when
// the system cannot say.
std::wstring VolumeOf(const char* path) {
  wchar_t volume[MAX_PATH];
  if (!GetVolumePathNameW(WidePath(path).c_str(), volume, MAX_PATH)) return L"";
  return volume;
}

// Asks the volume's device whether reading it costs seeks (a rotating disk).
SeekPenalty AskSeekPenalty(const std::wstring& volume) {
  wchar_t name[MAX_PATH];  // "\\?\Volume{...}\", whatever the volume is mounted as
  if (volume.empty() || !GetVolumeNameForVolumeMountPointW(volume.c_str(), name, MAX_PATH)) {
    return SeekPenalty::kUnknown;
  }
  std::wstring device = name;
  if (!device.empty() && device.back() == L'\\') device.pop_back();  // the device, not its root
  HANDLE handle = CreateFileW(device.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return SeekPenalty::kUnknown;
  STORAGE_PROPERTY_QUERY query = {};
  query.PropertyId = StorageDeviceSeekPenaltyProperty;
  query.QueryType = PropertyStandardQuery;
  DEVICE_SEEK_PENALTY_DESCRIPTOR answer = {};
  DWORD returned = 0;
  const bool asked = DeviceIoControl(handle, IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query,
                                     &answer, sizeof answer, &returned, nullptr) &&
                     returned >= sizeof answer;
  CloseHandle(handle);
  if (!asked) return SeekPenalty::kUnknown;
  return answer.IncursSeekPenalty ? SeekPenalty::kIncurred : SeekPenalty::kNone;
}

int LogicalProcessors() {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  return static_cast<int>(info.dwNumberOfProcessors);
}

void WaitWhileHeld(const std::string& path) {
  std::unique_lock<std::mutex> lock(HoldLock);
  HoldReleased.wait(lock, [&path] { return HoldOpen || HeldPath != path; });
}

typedef BOOL(WINAPI* CancelIoFn)(HANDLE thread);

// Present from Windows Vista on.
CancelIoFn CancelSynchronousIoFunction() {
  static const CancelIoFn function = reinterpret_cast<CancelIoFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "CancelSynchronousIo")));
  return function;
}

}  // namespace

// Shared by the queue and its reader threads, so that a reader still blocked when the queue is
// gone finds everything it touches alive.
struct ReaderPool {
  std::mutex lock;                      // guards waiting, closing, running and threads
  std::condition_variable workReady;    // a read was queued, or the pool closes
  std::condition_variable resultReady;  // a read finished, or a reader ended
  std::deque<std::shared_ptr<QueuedRead>> waiting;  // under lock
  bool closing = false;                             // under lock
  int running = 0;                                  // under lock
  std::vector<HANDLE> threads;  // under lock: the readers' own handles, to cancel a blocked read
  std::atomic<bool> cancelled{false};  // no lock: read between chunks
  std::mutex rotatingDisk;  // held by whoever reads a file of a volume with a seek penalty
};

namespace {

void ReadOne(QueuedRead* read, std::atomic<bool>* cancelled, std::mutex* oneAtATime = nullptr) {
  std::unique_lock<std::mutex> alone;
  if (oneAtATime) alone = std::unique_lock<std::mutex>(*oneAtATime);
  CurrentRead = read;
  CurrentCancel = cancelled;
  WaitWhileHeld(read->path);
  if (cancelled->load()) {
    read->verdict = kStatusInterrupted;
  } else if (read->storedDigest.empty()) {
    read->verdict =
        DigestFile(read->kind, read->path.c_str(), read->digest, &read->sizeKb, read->listedSize);
  } else {
    read->verdict =
        CheckFile(read->kind, read->path.c_str(), read->storedDigest.c_str(), &read->sizeKb);
  }
  CurrentRead = nullptr;
}

HANDLE OwnThreadHandle() {
  HANDLE self = nullptr;
  DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &self, 0, FALSE,
                  DUPLICATE_SAME_ACCESS);
  return self;
}

void LeavePool(ReaderPool* pool, HANDLE self) {
  std::lock_guard<std::mutex> lock(pool->lock);
  for (size_t i = 0; i < pool->threads.size(); ++i) {
    if (pool->threads[i] == self) pool->threads.erase(pool->threads.begin() + i);
  }
  if (self) CloseHandle(self);
  --pool->running;
  pool->resultReady.notify_all();
}

// A reader whose handle cannot be kept (memory ran out) still reads; only a blocked read of its
// own cannot be cancelled then.
HANDLE JoinPool(ReaderPool* pool) {
  HANDLE self = OwnThreadHandle();
  if (!self) return nullptr;
  std::lock_guard<std::mutex> lock(pool->lock);
  try {
    CheckMemoryForItem();
    pool->threads.push_back(self);
  } catch (const std::bad_alloc&) {
    CloseHandle(self);
    return nullptr;
  }
  return self;
}

void RunReader(std::shared_ptr<ReaderPool> pool) {
  SetThreadReadHook(&kReaderHook);
  // The window thread, which shows the progress and takes the results, comes first: a reader
  // that waits a moment for a core costs less than a screen that waits for one.
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
  HANDLE self = JoinPool(pool.get());
  for (;;) {
    std::shared_ptr<QueuedRead> read;
    {
      std::unique_lock<std::mutex> lock(pool->lock);
      pool->workReady.wait(lock, [&pool] { return pool->closing || !pool->waiting.empty(); });
      if (pool->closing) break;
      read = pool->waiting.front();
      pool->waiting.pop_front();
    }
    ReadOne(read.get(), &pool->cancelled, read->oneAtATime ? &pool->rotatingDisk : nullptr);
    read->done.store(true);
    ++FinishedReads;
    pool->resultReady.notify_all();
  }
  ReleaseReadResources();
  LeavePool(pool.get(), self);
}

// Ends the pool: queued reads are dropped, blocked reads cancelled, and the readers given a
// second to leave; one that does not is left to end on its own.
void ClosePool(ReaderPool* pool) {
  std::unique_lock<std::mutex> lock(pool->lock);
  pool->closing = true;
  pool->cancelled.store(true);
  pool->waiting.clear();
  if (CancelIoFn cancel = CancelSynchronousIoFunction()) {
    for (HANDLE thread : pool->threads) cancel(thread);
  }
  pool->workReady.notify_all();
  pool->resultReady.wait_for(lock, std::chrono::seconds(1), [pool] { return pool->running == 0; });
}

}  // namespace

int FinishedReadsForTests() { return FinishedReads.load(); }

int ReaderCountFor(const char* path) {
  return ChooseReaderCount(LogicalProcessors(), AskSeekPenalty(VolumeOf(path)));
}

void SetReaderCountForTests(int readers) { ReadersForTests = readers; }

int ReaderCountForTests() { return ReadersForTests; }

void HoldReadForTests(const char* path) {
  std::lock_guard<std::mutex> lock(HoldLock);
  HeldPath = path;
  HoldOpen = false;
}

void ReleaseHeldReadForTests() {
  {
    std::lock_guard<std::mutex> lock(HoldLock);
    HoldOpen = true;
    HeldPath.clear();
  }
  HoldReleased.notify_all();
}

ReadQueue::ReadQueue(int readers) : readers_(readers) {
  if (readers_ <= 1) {
    readers_ = 1;
    return;
  }
  try {
    pool_ = std::make_shared<ReaderPool>();
  } catch (const std::bad_alloc&) {
    readers_ = 1;  // read as one reader reads
    return;
  }
  for (int i = 0; i < readers_; ++i) {
    try {
      CheckMemoryForItem();
      std::lock_guard<std::mutex> lock(pool_->lock);
      std::thread(RunReader, pool_).detach();
      ++pool_->running;
    } catch (const std::exception&) {
      break;  // fewer readers: the ones started do the work
    }
  }
  if (pool_->running == 0) {
    pool_.reset();
    readers_ = 1;
  }
}

ReadQueue::~ReadQueue() {
  if (pool_) ClosePool(pool_.get());
}

bool ReadQueue::Push(const std::shared_ptr<QueuedRead>& read) {
  try {
    CheckMemoryForItem();
    inFlight_.push_back(read);
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (!read->NeedsReading()) {
    read->done.store(true);
    return true;
  }
  if (!pool_) {
    ReadOne(read.get(), &noCancel_);
    read->done.store(true);
    return true;
  }
  if (!Read(read)) {
    inFlight_.pop_back();
    return false;
  }
  return true;
}

// Hands a file to the readers; false when memory ran out.
bool ReadQueue::Read(const std::shared_ptr<QueuedRead>& read) {
  try {
    read->oneAtATime = OnRotatingDisk(read->path);
    std::lock_guard<std::mutex> lock(pool_->lock);
    pool_->waiting.push_back(read);
  } catch (const std::bad_alloc&) {
    return false;
  }
  pool_->workReady.notify_one();
  return true;
}

// The volume is asked once per operation; the walk lists a folder's files together, so the
// answer of the last file's folder mostly serves.
bool ReadQueue::OnRotatingDisk(const std::string& path) {
  const size_t cut = path.find_last_of("\\/");
  const std::string folder = cut == std::string::npos ? std::string() : path.substr(0, cut);
  if (folder == lastFolder_ && !lastFolder_.empty()) return lastFolderRotating_;
  const std::wstring volume = VolumeOf(path.c_str());
  auto known = volumes_.find(volume);
  if (known == volumes_.end()) {
    known = volumes_.emplace(volume, AskSeekPenalty(volume) == SeekPenalty::kIncurred).first;
  }
  lastFolder_ = folder;
  lastFolderRotating_ = known->second;
  return lastFolderRotating_;
}

bool ReadQueue::Full() const {
  return inFlight_.size() >= static_cast<size_t>(pool_ ? readers_ * kReadsAheadPerReader : 1);
}

std::shared_ptr<QueuedRead> ReadQueue::TakeOldest() {
  if (inFlight_.empty()) return nullptr;
  std::shared_ptr<QueuedRead> oldest = inFlight_.front();
  // With one reader the read is over and its verdict says whether it was stopped. With several,
  // the file is shown as a lone reader shows it, whether or not its result is in already;
  // nothing is taken once Stop was asked for.
  bool stopped = false;
  if (pool_ && !oldest->NeedsReading()) {
    stopped = StopRequested();
  } else if (pool_) {
    stopped = !WaitFor(*oldest) || StopRequested();
  }
  if (stopped || oldest->verdict == kStatusInterrupted) {
    inFlight_.clear();  // stopped: what is in flight is dropped unfinished
    return nullptr;
  }
  inFlight_.pop_front();
  return oldest;
}

// Shows the file whose result comes next, with its progress, and does what is due before its
// first chunk and between its chunks while it waits, as a lone reader would: each file is named
// and then cleared from the screen in turn, also one whose result is already in; false when the
// user stopped.
bool ReadQueue::WaitFor(const QueuedRead& read) {
  ReportFileStarted(read.path.c_str());
  bool stopped = PollRead(ReadPoint::kBeforeFirstRead);
  while (!read.done.load() && !stopped) {
    {
      std::unique_lock<std::mutex> lock(pool_->lock);
      pool_->resultReady.wait_for(lock, std::chrono::milliseconds(kWaitSlice),
                                  [&read] { return read.done.load(); });
    }
    ReportProgress(read.progress.load());
    stopped = PollRead(ReadPoint::kAfterChunk);
  }
  if (!stopped) ReportProgress(read.progress.load());  // where the read ended
  ReportFileEnded();
  return !stopped;
}
