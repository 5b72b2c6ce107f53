#include "summary/verify.h"

#include <cstring>
#include <deque>
#include <memory>

#include "common/paths.h"
#include "digest/file_digest.h"
#include "digest/read_queue.h"
#include "summary/document_state.h"
#include "summary/entries.h"
#include "summary/operation_hook.h"
#include "summary/summary_line.h"

namespace {

struct EntryToVisit {
  const SummaryEntry* entry;
  int index;  // where it stood when the pass began
};

// The entries to visit, taken as records before the first file is read: the user may sort the
// list while files are read, and each result must reach its own entry.
std::vector<EntryToVisit> EntriesToVisit(const std::vector<int>& indices) {
  std::vector<EntryToVisit> entries;
  entries.reserve(indices.size());
  for (int index : indices) entries.push_back({GetEntry(index), index});
  return entries;
}

// Room for the Base Directory and any name an entry holds, so that a path is never cut: one the
// system cannot open is Missing, never read under a shorter name, which may be another file.
enum { kVisitPathSize = kPathTextSize + kSummaryNameSize };

// Queues the file of one entry; false when there is no file to read (the entry is gone).
std::shared_ptr<QueuedRead> QueueEntry(ReadQueue* queue, const EntryToVisit& item, PassAction action,
                                       char* path, size_t prefixLength) {
  int index = FindEntryIndex(item.entry, item.index);
  if (index < 0) return nullptr;
  GetEntryText(index, kColumnName, path + prefixLength,
               static_cast<int>(kVisitPathSize - prefixLength));
  char stored[kDigestTextSize] = "";
  if (action == PassAction::kVerify) GetEntryText(index, kColumnDigest, stored, sizeof stored);
  auto read = std::make_shared<QueuedRead>(path, kSizeNotListed, stored);
  queue->Push(read);
  return read;
}

// Records a verdict on its own entry, wherever a sort has moved it meanwhile.
void RecordVerdict(const EntryToVisit& item, const QueuedRead& read, PassAction action,
                   PassResult* result) {
  const int index = FindEntryIndex(item.entry, item.index);
  if (index < 0) return;
  if (action == PassAction::kRecalculate && read.verdict == kStatusOk) {
    SetEntryDigest(index, read.digest);
    SetModified(true);
  }
  SetEntryStatus(index, read.verdict);
  SetEntrySize(index, read.sizeKb);
  ReportResultRecorded();
  if (read.verdict != kStatusOk) result->allOk = false;
}

struct InFlight {
  EntryToVisit item;
  std::shared_ptr<QueuedRead> read;
};

}  // namespace

PassResult RunPass(const std::vector<int>& indices, PassAction action) {
  // The Base Directory with its separator, always with room for a name's terminator.
  char path[kVisitPathSize];
  JoinPath(BaseDirectory(), "", path, sizeof path);
  const size_t prefixLength = std::strlen(path);
  PassResult result;
  ReadQueue queue(BaseDirectory());
  std::deque<InFlight> inFlight;
  // Each result is taken in the order the entries were queued: the oldest when the queue is
  // full, and the rest at the end.
  auto recordOldest = [&] {
    InFlight oldest = inFlight.front();
    inFlight.pop_front();
    if (!queue.TakeOldest()) return false;
    RecordVerdict(oldest.item, *oldest.read, action, &result);
    return true;
  };
  for (const EntryToVisit& item : EntriesToVisit(indices)) {
    std::shared_ptr<QueuedRead> read = QueueEntry(&queue, item, action, path, prefixLength);
    if (read) inFlight.push_back({item, read});
    while (!result.interrupted && queue.Full()) result.interrupted = !recordOldest();
    if (result.interrupted) break;
  }
  while (!result.interrupted && !inFlight.empty()) result.interrupted = !recordOldest();
  return result;
}
