#include "app/verify_commands.h"

#include <new>
#include <vector>

#include "app/app_state.h"
#include "app/commands.h"
#include "app/entry_view.h"
#include "app/screen_refresh.h"
#include "summary/document_state.h"
#include "summary/entries.h"
#include "summary/verify.h"

namespace {

enum class Visit { kAll, kSelected };

const char kNoBaseForVerify[] = "You must set the Base Directory before verifying any files!";
const char kNoBaseForRecalculate[] = "You must set the Base Directory before setting  any files!";
const char kProblems[] = "There are problems with some files!";

std::vector<int> IndicesToVisit(Visit visit) {
  std::vector<int> indices;
  if (visit == Visit::kAll) {
    for (int index = 0; index < EntryCount(); ++index) indices.push_back(index);
  } else {
    for (int index = FirstSelectedEntry(); index >= 0; index = NextSelectedEntry(index)) {
      indices.push_back(index);
    }
  }
  return indices;
}

bool ReadyToRun(const char* missingBaseText) {
  if (!BaseDirectory()[0]) {
    ShowError(missingBaseText);
    return false;
  }
  if (EntryCount() == 0) {
    MessageBeep(0);
    return false;
  }
  return true;
}

PassResult RunPassAsOperation(Visit visit, PassAction action) {
  std::vector<int> indices;
  try {
    indices = IndicesToVisit(visit);
  } catch (const std::bad_alloc&) {
    ShowError("Out of memory");  // nothing read, nothing changed
    PassResult none;
    none.interrupted = true;
    return none;
  }
  BeginLongOperation();
  PassResult result = RunPass(indices, action);
  EndLongOperation();
  return result;
}

void Verify(Visit visit, const char* allOkText) {
  if (!ReadyToRun(kNoBaseForVerify)) return;
  PassResult result = RunPassAsOperation(visit, PassAction::kVerify);
  if (!result.interrupted) SetStatusText(result.allOk ? allOkText : kProblems);
}

void Recalculate(Visit visit) {
  if (!ReadyToRun(kNoBaseForRecalculate)) return;
  RunPassAsOperation(visit, PassAction::kRecalculate);
}

}  // namespace

void VerifyAll(HWND) { Verify(Visit::kAll, "All files OK"); }

void VerifySelected(HWND) { Verify(Visit::kSelected, "All selected files OK"); }

void RecalculateAll(HWND) { Recalculate(Visit::kAll); }

void RecalculateSelected(HWND) { Recalculate(Visit::kSelected); }
