#include "app/digest_choice.h"

#include "app/app_state.h"
#include "app/entry_view.h"
#include "common/bounded_text.h"
#include "digest/file_hasher.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "summary/document_state.h"
#include "summary/entries.h"

DigestKind RememberedDigestKind() {
  char value[16] = "";
  ReadDigestSetting(value, sizeof value);
  const DigestKindInfo* info = KindBySettingsValue(value);
  return info ? info->kind : DigestKind::kMd5;
}

bool IsDigestCommand(int id) { return id >= IDM_DIGEST_FIRST && id <= IDM_DIGEST_LAST; }

DigestKind DigestKindOfCommand(int id) { return static_cast<DigestKind>(id - IDM_DIGEST_FIRST); }

void ChooseDigestKind(int id) {
  const DigestKind kind = DigestKindOfCommand(id);
  if (BusyFlag || EntryCount() > 0 || !DigestKindAvailable(kind)) return;
  SetDocumentDigestKind(kind);
  WriteDigestSetting(KindInfo(kind).settingsValue);
}

void RefreshDigestKindDisplay() {
  const DigestKind kind = DocumentDigestKind();
  if (MainMenu) {
    CheckMenuRadioItem(MainMenu, IDM_DIGEST_FIRST, IDM_DIGEST_LAST,
                       IDM_DIGEST_FIRST + static_cast<int>(kind), MF_BYCOMMAND);
  }
  if (EntryList) ApplyDigestColumn(EntryList, kind, WindowDpi);
}

void FormatForDocumentKind(const char* format, char* out, unsigned outSize) {
  FormatText(out, outSize, format, KindInfo(DocumentDigestKind()).displayName);
}
