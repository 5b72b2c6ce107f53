#include "summary/title.h"

#include "app/app_state.h"
#include "app/screen_refresh.h"
#include "common/bounded_text.h"
#include "common/code_pages.h"
#include "summary/entry_list.h"
#include "summary/paths.h"

void UpdateTitle(HWND window, const char* path) {
  if (path && path != CurrentSummaryPath) {
    CopyText(CurrentSummaryPath, sizeof CurrentSummaryPath, path);
  }
  char title[1024];
  if (!FormatText(title, sizeof title, "%s - %s   [%d items]", kProgramTitle,
                  BaseName(CurrentSummaryPath), EntryCount())) {
    DropSplitCharacter(title);
  }
  ShowWindowTitle(window, title);
}

void ShowBaseDirectory(const char* text) {
  if (text != BaseDirectory) CopyText(BaseDirectory, sizeof BaseDirectory, text);
  char label[344];
  if (!FormatText(label, sizeof label, "  Base Directory: %s", BaseDirectory)) {
    DropSplitCharacter(label);
  }
  if (BaseLabel) SetWindowTextA(BaseLabel, label);
}
