#include "summary/verify.h"

#include <cstring>

#include "common/paths.h"
#include "digest/file_digest.h"
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

// Reads one entry's file; false when the user stopped the pass.
bool VisitEntry(const SummaryEntry* entry, int hint, PassAction action, char* path,
                size_t prefixLength, PassResult* result) {
  int index = FindEntryIndex(entry, hint);
  if (index < 0) return true;
  GetEntryText(index, kColumnName, path + prefixLength,
               static_cast<int>(kVisitPathSize - prefixLength));
  int32_t sizeKb = -1;
  char digest[kDigestTextSize];
  int verdict;
  if (action == PassAction::kVerify) {
    GetEntryText(index, kColumnDigest, digest, sizeof digest);
    verdict = CheckFile(path, digest, &sizeKb);
  } else {
    verdict = DigestFile(path, digest, &sizeKb);
  }
  if (verdict == kStatusInterrupted) return false;
  index = FindEntryIndex(entry, index);  // the list may have been sorted meanwhile
  if (index < 0) return true;
  if (action == PassAction::kRecalculate && verdict == kStatusOk) {
    SetEntryDigest(index, digest);
    SetModified(true);
  }
  SetEntryStatus(index, verdict);
  SetEntrySize(index, sizeKb);
  ReportResultRecorded();
  if (verdict != kStatusOk) result->allOk = false;
  return true;
}

}  // namespace

PassResult RunPass(const std::vector<int>& indices, PassAction action) {
  // The Base Directory with its separator, always with room for a name's terminator.
  char path[kVisitPathSize];
  JoinPath(BaseDirectory(), "", path, sizeof path);
  const size_t prefixLength = std::strlen(path);
  PassResult result;
  for (const EntryToVisit& item : EntriesToVisit(indices)) {
    if (!VisitEntry(item.entry, item.index, action, path, prefixLength, &result)) {
      result.interrupted = true;
      break;
    }
  }
  return result;
}
