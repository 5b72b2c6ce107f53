#include "app/title.h"

#include "app/app_state.h"
#include "app/digest_choice.h"
#include "app/screen_refresh.h"
#include "common/bounded_text.h"
#include "common/code_pages.h"
#include "common/paths.h"
#include "summary/document_state.h"
#include "summary/entries.h"

namespace {

void RefreshBaseLabel() {
  char label[344];
  if (!FormatText(label, sizeof label, "  Base Directory: %s", BaseDirectory())) {
    DropSplitCharacter(label);
  }
  if (BaseLabel) SetWindowTextA(BaseLabel, label);
}

const DocumentListener kDocumentDisplay = {RefreshBaseLabel, RefreshTitle,
                                          RefreshDigestKindDisplay};

}  // namespace

void InstallDocumentDisplay() { InstallDocumentListener(&kDocumentDisplay); }

void RefreshTitle() {
  if (!MainWindow) return;
  char title[1024];
  if (!FormatText(title, sizeof title, "%s - %s   [%d items]", kProgramTitle,
                  BaseName(SummaryPath()), EntryCount())) {
    DropSplitCharacter(title);
  }
  SetWindowTitle(MainWindow, title);
}
