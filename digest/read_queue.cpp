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
#include "digest/read_hook.h"
#include "digest/reader_count.h"
#include "digest/verdict.h"

namespace {

bool Lockstep = false;
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
  std::mutex lock;
  std::condition_variable workReady;    // a read was queued, or the pool closes
  std::condition_variable resultReady;  // a read finished, or a reader ended
  std::deque<std::shared_ptr<QueuedRead>> waiting;
  bool closing = false;
  std::atomic<bool> cancelled{false};
  int running = 0;
  std::vector<HANDLE> threads;  // the running readers' own handles, to cancel a blocked read
  std::mutex rotatingDisk;      // held by whoever reads a file of a volume with a seek penalty
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
    read->verdict = DigestFile(read->path.c_str(), read->digest, &read->sizeKb, read->listedSize);
  } else {
    read->verdict = CheckFile(read->path.c_str(), read->storedDigest.c_str(), &read->sizeKb);
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

void RunReader(std::shared_ptr<ReaderPool> pool) {
  SetThreadReadHook(&kReaderHook);
  HANDLE self = OwnThreadHandle();
  {
    std::lock_guard<std::mutex> lock(pool->lock);
    if (self) pool->threads.push_back(self);
  }
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
  ReleaseReadBuffer();
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
  if (ReadersForTests > 0) return ReadersForTests;
  if (Lockstep) return 1;
  return ChooseReaderCount(LogicalProcessors(), AskSeekPenalty(VolumeOf(path)));
}

void SetLockstepReading(bool on) { Lockstep = on; }

void SetReaderCountForTests(int readers) { ReadersForTests = readers; }

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

ReadQueue::ReadQueue(const char* volumePath) : readers_(ReaderCountFor(volumePath)) {
  if (readers_ <= 1) return;
  pool_ = std::make_shared<ReaderPool>();
  for (int i = 0; i < readers_; ++i) {
    try {
      std::thread(RunReader, pool_).detach();
      std::lock_guard<std::mutex> lock(pool_->lock);
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

void ReadQueue::Push(const std::shared_ptr<QueuedRead>& read) {
  inFlight_.push_back(read);
  if (!pool_) {
    ReadOne(read.get(), &noCancel_);
    read->done.store(true);
    return;
  }
  read->oneAtATime = OnRotatingDisk(read->path);
  {
    std::lock_guard<std::mutex> lock(pool_->lock);
    pool_->waiting.push_back(read);
  }
  pool_->workReady.notify_one();
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
  // a result already in still gives the window its chance to dispatch between files.
  bool stopped = false;
  if (pool_) {
    stopped = oldest->done.load() ? PollRead(ReadPoint::kBeforeFirstRead) : !WaitFor(*oldest);
    stopped = stopped || StopRequested();
  }
  if (stopped || oldest->verdict == kStatusInterrupted) {
    inFlight_.clear();  // stopped: what is in flight is dropped unfinished
    return nullptr;
  }
  inFlight_.pop_front();
  return oldest;
}

// Shows the file whose result comes next, with its progress, and does what is due between the
// chunks of a read while it waits; false when the user stopped.
bool ReadQueue::WaitFor(const QueuedRead& read) {
  ReportFileStarted(read.path.c_str());
  bool stopped = false;
  while (!read.done.load() && !stopped) {
    {
      std::unique_lock<std::mutex> lock(pool_->lock);
      pool_->resultReady.wait_for(lock, std::chrono::milliseconds(kWaitSlice),
                                  [&read] { return read.done.load(); });
    }
    ReportProgress(read.progress.load());
    stopped = PollRead(ReadPoint::kAfterChunk);
  }
  ReportFileEnded();
  return !stopped;
}
