#include "app/operation_display.h"

#include "app/app_state.h"
#include "app/screen_refresh.h"
#include "app/title.h"
#include "digest/read_queue.h"
#include "summary/operation_hook.h"

namespace {

const int kTitleRefreshInterval = 50;
int FilesSinceTitle = 0;

// Every 50th file refreshes the title with the item count.
void OnFileAdded() {
  RefreshScreenIfOverdue();
  if (++FilesSinceTitle == kTitleRefreshInterval) {
    FilesSinceTitle = 0;
    RefreshTitle();
  }
}

// A count set by a test comes first; handing over every chunk needs the one reader on this thread.
int ReadersUnder(const char* path) {
  if (ReaderCountForTests() > 0) return ReaderCountForTests();
  return HandsOverEveryChunk() ? 1 : ReaderCountFor(path);
}

const OperationHook kOperationDisplay = {ShowError, OnFileAdded, RefreshScreenIfOverdue,
                                         ReadersUnder};

}  // namespace

void InstallOperationDisplay() { InstallOperationHook(&kOperationDisplay); }

void RestartTitleCount() { FilesSinceTitle = 0; }
