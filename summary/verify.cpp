#include "summary/verify.h"

#include <cstring>
#include <memory>
#include <new>

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

using PassQueue = TaggedReadQueue<EntryToVisit>;

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

// Takes the oldest result onto its entry; false when the user stopped.
bool RecordOldest(PassQueue* queue, PassAction action, PassResult* result) {
  std::shared_ptr<TaggedRead<EntryToVisit>> oldest = queue->TakeOldest();
  if (!oldest) return false;
  RecordVerdict(oldest->tag, *oldest, action, result);
  return true;
}

// Takes every result still in flight; false when the user stopped.
bool RecordAll(PassQueue* queue, PassAction action, PassResult* result) {
  while (!queue->Empty()) {
    if (!RecordOldest(queue, action, result)) return false;
  }
  return true;
}

// Where memory runs out for a queued read, the entry says so, in its turn after the others.
bool RecordOutOfMemory(PassQueue* queue, const EntryToVisit& item, PassAction action,
                       PassResult* result) {
  if (!RecordAll(queue, action, result)) return false;
  QueuedRead none(DigestKind::kMd5, "", kSizeNotListed, "");  // nothing read: no kind matters
  none.verdict = kStatusOutOfMemory;
  RecordVerdict(item, none, action, result);
  return true;
}

// Queues the file of one entry, to be read into a digest of that kind (none when the entry is
// gone); false when the user stopped.
bool QueueEntry(PassQueue* queue, const EntryToVisit& item, PassAction action, DigestKind kind,
                char* path, size_t prefixLength, PassResult* result) {
  int index = FindEntryIndex(item.entry, item.index);
  if (index < 0) return true;
  GetEntryText(index, kColumnName, path + prefixLength,
               static_cast<int>(kVisitPathSize - prefixLength));
  char stored[kDigestTextSize] = "";
  if (action == PassAction::kVerify) GetEntryText(index, kColumnDigest, stored, sizeof stored);
  bool queued = false;
  try {
    queued = queue->PushRead(item, kind, path, kSizeNotListed, stored);
  } catch (const std::bad_alloc&) {  // the path's and the digest's strings
  }
  return queued || RecordOutOfMemory(queue, item, action, result);
}

// The passes over the entries, each taken in the order they were queued: the oldest when the
// queue is full, and the rest at the end; false when the user stopped.
bool VisitEntries(const std::vector<EntryToVisit>& entries, PassAction action,
                  PassResult* result) {
  // The Base Directory with its separator, always with room for a name's terminator.
  char path[kVisitPathSize];
  JoinPath(BaseDirectory(), "", path, sizeof path);
  const size_t prefixLength = std::strlen(path);
  PassQueue queue(OperationReaders(BaseDirectory()));
  const DigestKind kind = DocumentDigestKind();  // the same for the whole pass
  for (const EntryToVisit& item : entries) {
    if (!QueueEntry(&queue, item, action, kind, path, prefixLength, result)) return false;
    while (queue.Full()) {
      if (!RecordOldest(&queue, action, result)) return false;
    }
  }
  return RecordAll(&queue, action, result);
}

}  // namespace

PassResult RunPass(const std::vector<int>& indices, PassAction action) {
  PassResult result;
  std::vector<EntryToVisit> entries;
  try {
    entries = EntriesToVisit(indices);
  } catch (const std::bad_alloc&) {
    TellUser("Out of memory");  // nothing was read, nothing changed
    result.interrupted = true;
    return result;
  }
  result.interrupted = !VisitEntries(entries, action, &result);
  return result;
}
