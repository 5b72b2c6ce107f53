#include "app/operation_display.h"

#include "app/app_state.h"
#include "app/screen_refresh.h"
#include "app/title.h"
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

const OperationHook kOperationDisplay = {ShowError, OnFileAdded, RefreshScreenIfOverdue};

}  // namespace

void InstallOperationDisplay() { InstallOperationHook(&kOperationDisplay); }

void RestartTitleCount() { FilesSinceTitle = 0; }
