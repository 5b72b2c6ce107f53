#include "summary/verify.h"

#include <cstring>
#include <vector>

#include "app/app_state.h"
#include "app/screen_refresh.h"
#include "app/commands.h"
#include "common/bounded_text.h"
#include "digest/file_digest.h"
#include "summary/entry_list.h"
#include "summary/paths.h"
#include "summary/summary_line.h"

namespace {

enum class Visit { kAll, kSelected };
enum class Action { kVerify, kRecalculate };

struct PassResult {
  bool interrupted = false;
  bool allOk = true;
};

struct EntryToVisit {
  const SummaryEntry* entry;
  int index;  // where it stood when the pass began
};

// The entries to visit, taken as records in index order before the first file is read: the
// user may sort the list while files are read, and each result must reach its own entry.
std::vector<EntryToVisit> EntriesToVisit(Visit visit) {
  std::vector<EntryToVisit> entries;
  if (visit == Visit::kAll) {
    int count = EntryCount();
    for (int index = 0; index < count; ++index) entries.push_back({GetEntry(index), index});
  } else {
    for (int index = FirstSelectedEntry(); index >= 0; index = NextSelectedEntry(index)) {
      entries.push_back({GetEntry(index), index});
    }
  }
  return entries;
}

// The Base Directory with its separator; returns its length, at most size - 1, so a name
// always has room for its terminator.
size_t BuildPrefix(char* path, size_t size) {
  JoinPath(BaseDirectory, "", path, size);
  return std::strlen(path);
}

// Room for the Base Directory and any name an entry holds, so that a path is never cut: one the
// system cannot open is Missing, never read under a shorter name, which may be another file.
enum { kVisitPathSize = kPathBufferSize + kSummaryNameSize };

// Reads one entry's file; false when the user stopped the pass.
bool VisitEntry(const SummaryEntry* entry, int hint, Action action, char* path, size_t prefixLength,
                PassResult* result) {
  int index = FindEntryIndex(entry, hint);
  if (index < 0) return true;
  GetEntryText(index, kColumnName, path + prefixLength,
               static_cast<int>(kVisitPathSize - prefixLength));
  int32_t sizeKb = -1;
  char digest[kDigestTextSize];
  int verdict;
  if (action == Action::kVerify) {
    GetEntryText(index, kColumnDigest, digest, sizeof digest);
    verdict = CheckFile(path, digest, &sizeKb);
  } else {
    verdict = DigestFile(path, digest, &sizeKb);
  }
  if (verdict == kStatusInterrupted) return false;
  index = FindEntryIndex(entry, index);  // the list may have been sorted meanwhile
  if (index < 0) return true;
  if (action == Action::kRecalculate && verdict == kStatusOk) {
    SetEntryDigest(index, digest);
    ModifiedFlag = true;
  }
  SetEntryStatus(index, verdict);
  SetEntrySize(index, sizeKb);
  RefreshScreenIfOverdue();
  if (verdict != kStatusOk) result->allOk = false;
  return true;
}

PassResult RunPass(Visit visit, Action action) {
  char path[kVisitPathSize];
  size_t prefixLength = BuildPrefix(path, sizeof path);
  PassResult result;
  std::vector<EntryToVisit> entries = EntriesToVisit(visit);
  SetBusy(true);
  for (const EntryToVisit& item : entries) {
    if (!VisitEntry(item.entry, item.index, action, path, prefixLength, &result)) {
      result.interrupted = true;
      break;
    }
  }
  FinishLongOperation();
  return result;
}

bool ReadyToRun(const char* missingBaseText) {
  if (!BaseDirectory[0]) {
    ShowError(missingBaseText);
    return false;
  }
  if (EntryCount() == 0) {
    MessageBeep(0);
    return false;
  }
  return true;
}

const char kNoBaseForVerify[] = "You must set the Base Directory before verifying any files!";
const char kNoBaseForRecalculate[] = "You must set the Base Directory before setting  any files!";
const char kProblems[] = "There are problems with some files!";

void Verify(Visit visit, const char* allOkText) {
  if (!ReadyToRun(kNoBaseForVerify)) return;
  PassResult result = RunPass(visit, Action::kVerify);
  if (!result.interrupted) SetStatusText(result.allOk ? allOkText : kProblems);
}

void Recalculate(Visit visit) {
  if (!ReadyToRun(kNoBaseForRecalculate)) return;
  RunPass(visit, Action::kRecalculate);
}

}  // namespace

void VerifyAll(HWND owner) {
  (void)owner;
  Verify(Visit::kAll, "All files OK");
}

void VerifySelected(HWND owner) {
  (void)owner;
  Verify(Visit::kSelected, "All selected files OK");
}

void RecalculateAll(HWND owner) {
  (void)owner;
  Recalculate(Visit::kAll);
}

void RecalculateSelected(HWND owner) {
  (void)owner;
  Recalculate(Visit::kSelected);
}
